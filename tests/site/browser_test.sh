#!/bin/sh
# Opens the fixture's search page from disk (file://) in headless Chromium with a query
# in its address and checks that the first result is the page expected: the index
# shards must load through script elements where fetch would be refused.
# Usage: browser_test.sh QUILLGEN FIXTURE_DIR. Exits 77 (skipped) without chromium.
set -eu
browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "chromium not found: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$2"/* "$work/"
(cd "$work" && QUILLGEN_SITE=1 "$1" -o api lamp.h guide.dg later.dg)
check() {
    dom=$("$browser" --headless --no-sandbox --disable-gpu --user-data-dir="$work/profile" \
        --virtual-time-budget=5000 --dump-dom "file://$work/search.htm?q=$1" 2>/dev/null)
    first=$(printf '%s' "$dom" | sed -n 's/.*<ol id="qg-results"[^>]*><li><a href="\([^"]*\)".*/\1/p')
    [ "$first" = "$2" ] || { echo "q=$1: first result '$first', expected '$2'"; exit 1; }
}
check lamp_on api/lamp_on.htm
check "colour+codes" wiring_colours.htm
echo "search from file:// works"

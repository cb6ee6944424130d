#!/bin/sh
# Opens the fixture's search page from disk (file://) in headless Chromium with a query
# in its address and checks that the first results are the pages expected: the index
# shards must load through script elements where fetch would be refused.
# Usage: browser_test.sh QUILLGEN FIXTURE_DIR. Exits 77 (skipped) without chromium.
set -eu
browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "chromium not found: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$2"/* "$work/"
(cd "$work" && QUILLGEN_SITE=1 "$1" -o api lamp.h guide.dg later.dg)
# check QUERY "PAGES": the first results are PAGES (sorted, separated by spaces).
check() {
    dom=$("$browser" --headless --no-sandbox --disable-gpu --user-data-dir="$work/profile" \
        --virtual-time-budget=5000 --dump-dom "file://$work/search.htm?q=$1" 2>/dev/null)
    results=$(printf '%s' "$dom" | sed -n 's/.*<ol id="qg-results"[^>]*>\(.*\)<\/ol>.*/\1/p')
    count=$(echo "$2" | wc -w)
    first=$(printf '%s' "$results" | grep -o '<li><a href="[^"]*"' | head -n "$count" |
        sed 's/.*href="\([^"]*\)"/\1/' | sort | tr '\n' ' ' | sed 's/ $//')
    [ "$first" = "$2" ] || { echo "q=$1: first results '$first', expected '$2'"; exit 1; }
}
check lamp_on api/lamp_on.htm
check "colour+codes" wiring_colours.htm
check lamp_o "api/lamp_off.htm api/lamp_on.htm"
echo "search from file:// works"

#!/bin/sh
# Opens the fixture's search page from disk (file://) in headless Chromium with a query
# in its address and checks the first results and what the first shows of its page: the
# index shards must load through script elements where fetch would be refused, and the
# excerpts be inflated by the browser.
# Usage: browser_test.sh QUILLGEN FIXTURE_DIR. Exits 77 (skipped) without chromium.
set -eu
browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "chromium not found: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$2"/* "$work/"
(cd "$work" && QUILLGEN_SITE=1 "$1" -o api lamp.h guide.dg later.dg)
# check QUERY "PAGES" [HTML]: the first results are PAGES (sorted, separated by spaces)
# and the first result's item holds HTML.
check() {
    dom=$("$browser" --headless --no-sandbox --disable-gpu --user-data-dir="$work/profile" \
        --virtual-time-budget=5000 --dump-dom "file://$work/search.htm?q=$1" 2>/dev/null)
    results=$(printf '%s' "$dom" | sed -n 's/.*<ol id="qg-results"[^>]*>\(.*\)<\/ol>.*/\1/p')
    count=$(echo "$2" | wc -w)
    first=$(printf '%s' "$results" | grep -o '<li><a href="[^"]*"' | head -n "$count" |
        sed 's/.*href="\([^"]*\)"/\1/' | sort | tr '\n' ' ' | sed 's/ $//')
    [ "$first" = "$2" ] || { echo "q=$1: first results '$first', expected '$2'"; exit 1; }
    item=$(printf '%s' "$results" | sed 's/<\/li>.*//')
    case "$item" in *"${3:-}"*) ;; *) echo "q=$1: the first result is '$item'"; exit 1 ;; esac
}
check lamp_on api/lamp_on.htm
check "colour+codes" wiring_colours.htm
check lamp_o "api/lamp_off.htm api/lamp_on.htm"
check together api/blinkAllLamps.htm "<p>Makes every lamp blink <mark>together</mark>."
check silent buzzer.htm "stays <mark>silent</mark> when the panel is idle or the &lt;mute&gt;"
echo "search from file:// works"

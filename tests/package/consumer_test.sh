#!/bin/sh
# Builds a small project that renders its documentation with quillgen_add_docs(),
# against the package in quillgen's build tree: a second build does nothing, and
# editing an included chapter renders again.
# Usage: consumer_test.sh <cmake> <quillgen build directory> <generator>
set -eu
cmake=$1
package=$2
generator=$3
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# A space in the path: the dependency file must escape it.
src="$tmp/con sumer"
cp -r "$here/consumer" "$src"
"$cmake" -S "$src" -B "$tmp/build" -G "$generator" -Dquillgen_DIR="$package" >/dev/null
"$cmake" --build "$tmp/build" >"$tmp/first.txt" 2>&1 || fail "first build: $(cat "$tmp/first.txt")"
out="$tmp/build/docs"
for file in index.htm logo.png default.css api/widget_h.htm api/default.css; do
    [ -f "$out/$file" ] || fail "$file was not made"
done
grep -q 'Getting started' "$out/index.htm" || fail "the chapter was not included"

"$cmake" --build "$tmp/build" >"$tmp/second.txt" 2>&1
if [ "$generator" = Ninja ]; then
    grep -q '^ninja: no work to do' "$tmp/second.txt" || fail "second build: $(cat "$tmp/second.txt")"
else
    ! grep -q 'quillgen' "$tmp/second.txt" || fail "second build: $(cat "$tmp/second.txt")"
fi

sleep 1 # a coarse file system keeps a second's difference
printf '%s\n' 'Getting going.' >"$src/docs/chapters/start.dg"
"$cmake" --build "$tmp/build" >"$tmp/third.txt" 2>&1 || fail "third build: $(cat "$tmp/third.txt")"
grep -q 'Getting going' "$out/index.htm" || fail "an edited chapter did not render again"
echo "built the consumer with $generator twice and after an edit"

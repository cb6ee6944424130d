#!/bin/sh
# Builds a small project that renders its documentation with quillgen_add_docs(),
# against the package in quillgen's build tree: the manual before the header and after
# it, with the site; a second build does nothing, editing an included chapter renders
# again, and a renamed page leaves no old page behind, in the output or the install.
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
build() { # name of the step
    "$cmake" --build "$tmp/build" >"$tmp/$1.txt" 2>&1 || fail "$1 build: $(cat "$tmp/$1.txt")"
}

# A space in the path: the dependency file must escape it.
src="$tmp/con sumer"
cp -r "$here/consumer" "$src"
"$cmake" -S "$src" -B "$tmp/build" -G "$generator" -Dquillgen_DIR="$package" >/dev/null
build first
out="$tmp/build/docs"
for file in index.htm logo.png default.css search.htm api/widget_h.htm api/widget.htm \
    api/default.css; do
    [ -f "$out/$file" ] || fail "$file was not made"
done
grep -q 'Getting started' "$out/index.htm" || fail "the chapter was not included"
grep -rq 'widget' "$out/search-index" || fail "the search does not cover the header"
for file in guide.dg chapters sample.c menus.xml; do
    [ ! -e "$out/$file" ] || fail "$file was copied into the output"
done

build second
if [ "$generator" = Ninja ]; then
    grep -q '^ninja: no work to do' "$tmp/second.txt" || fail "second build: $(cat "$tmp/second.txt")"
else
    ! grep -q 'quillgen' "$tmp/second.txt" || fail "second build: $(cat "$tmp/second.txt")"
fi

sleep 1 # a coarse file system keeps a second's difference
printf '%s\n' 'Getting going.' >"$src/docs/chapters/start.dg"
build third
grep -q 'Getting going' "$out/index.htm" || fail "an edited chapter did not render again"

sed 's/^\\split index$/\\split welcome/' "$src/docs/guide.dg" >"$tmp/guide.dg"
cp "$tmp/guide.dg" "$src/docs/guide.dg"
build renamed
[ -f "$out/welcome.htm" ] || fail "the renamed page was not made"
[ ! -e "$out/index.htm" ] || fail "the page of the old name stayed"
"$cmake" --install "$tmp/build" --prefix "$tmp/installed" >/dev/null
installed="$tmp/installed/share/doc/consumer/html"
[ -f "$installed/welcome.htm" ] && [ ! -e "$installed/index.htm" ] &&
    [ -z "$(find "$installed" -name '*.dg' -o -name .quillgen-pages)" ] ||
    fail "installed: $(cd "$installed" && find . -type f)"

"$cmake" -S "$src" -B "$tmp/build" -DCONSUMER_HEADER_FIRST=ON >/dev/null
build reordered
[ -f "$out/welcome.htm" ] || fail "the header first: no manual page"
echo "built the consumer with $generator, again, after an edit, a renamed page and a new order"

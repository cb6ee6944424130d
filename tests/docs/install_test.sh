#!/bin/sh
# Installs the build into a temporary prefix and runs the installed program there.
# Usage: install_test.sh <cmake> <build directory>
set -eu
cmake=$1
build=$2
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

"$cmake" --install "$build" --prefix "$tmp/prefix" >/dev/null
for file in bin/quillgen share/quillgen/default.css share/man/man1/quillgen.1.gz share/doc/quillgen/copyright \
    share/doc/quillgen/examples/menus.xml share/doc/quillgen/examples/properties.xml \
    lib/cmake/quillgen/quillgenConfig.cmake lib/cmake/quillgen/quillgenConfigVersion.cmake; do
    [ -f "$tmp/prefix/$file" ] || fail "$file was not installed"
done
quillgen=$tmp/prefix/bin/quillgen
[ -x "$quillgen" ] || fail "bin/quillgen is not executable"

# Without inputs: the usage on standard error and status 1.
mkdir "$tmp/work"
cd "$tmp/work"
status=0
env -i PATH=/usr/bin:/bin "$quillgen" 2>usage.txt || status=$?
[ "$status" -eq 1 ] || fail "no inputs gave status $status"
grep -q '^usage: quillgen \[options\] input_source_files\.\.\.$' usage.txt || fail "no usage"

# A manual with the installed menu definitions and property registry, an icon and a
# header beside it.
printf '%s\n' '\split hello' '\title{Hello}' '\choose FileOpen \icon{FileOpen}' \
    '\property EditorTabWidth' >hello.dg
printf '%s\n' '/*! \brief Says hello. */' 'void greet(void);' >hello.h
env -i PATH=/usr/bin:/bin \
    QUILLGEN_MENU_DEFINITIONS="$tmp/prefix/share/doc/quillgen/examples/menus.xml" \
    QUILLGEN_PROPERTIES="$tmp/prefix/share/doc/quillgen/examples/properties.xml" \
    "$quillgen" -o . hello.dg hello.h >out.txt 2>err.txt || fail "rendering failed: $(cat err.txt)"
grep -q 'choose <b>File > Open...</b> or press <b>Ctrl+O</b>' hello.htm || fail "no menu sentence"
grep -q '<img src="images/FileOpen.png" />' hello.htm || fail "no icon link"
grep -q '<b>Tab width</b>' hello.htm || fail "no property title"
[ -s images/FileOpen.png ] || fail "no icon image"
grep -q 'href="greet.htm"' hello_h.htm || fail "no header index page"
[ ! -s out.txt ] || fail "unexpected output: $(cat out.txt)"

# The manual page is well-formed enough for man to format it.
if command -v man >/dev/null; then
    MANWIDTH=80 man -l "$tmp/prefix/share/man/man1/quillgen.1.gz" 2>&1 | grep -q QUILLGEN_MENU_DEFINITIONS ||
        fail "the manual page does not format"
fi
# A project that renders its documentation with the installed package.
sh "$here/../package/consumer_test.sh" "$cmake" "$tmp/prefix/lib/cmake/quillgen" Ninja \
    >/dev/null || fail "the installed package does not build a consumer"
echo "installed and ran $quillgen"

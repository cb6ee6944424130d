#!/bin/sh
# A run on one thread (QUILLGEN_THREADS=1) and a run on every core give the same pages,
# site files, messages and status: over headers, a manual with many code samples and the
# site, with warnings on. Under ThreadSanitizer this is also the run whose threads meet
# most.
# Usage: threads_agree_test.sh QUILLGEN SOURCE_DIR
set -eu
quillgen=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in"
cp "$source/examples/headers/uart.h" "$work/in/"
python3 "$source/bench/gen_header.py" 1500 1 >"$work/in/first.h"
python3 "$source/bench/gen_header.py" 1500 2 >"$work/in/second.h"
python3 "$source/bench/gen_manual.py" 150 1 >"$work/in/guide.dg"
# Both run in the same folder, which the verbose lines name.
for threads in 1 default; do
    cp -r "$work/in" "$work/run"
    (
        cd "$work/run"
        [ "$threads" = 1 ] && export QUILLGEN_THREADS=1 || unset QUILLGEN_THREADS
        status=0
        QUILLGEN_SITE=1 QUILLGEN_WARNINGS=1 "$quillgen" -v -o api first.h guide.dg uart.h second.h \
            >../$threads.out 2>../$threads.err || status=$?
        echo "$status" >../$threads.status
    )
    mv "$work/run" "$work/$threads"
done
pages=$(find "$work/1" -name '*.htm' | wc -l)
[ "$pages" -gt 3000 ] || { echo "only $pages pages written"; exit 1; }
diff -r "$work/1" "$work/default" >/dev/null || { echo "the pages or site files differ"; diff -r -q "$work/1" "$work/default" | head; exit 1; }
for stream in out err status; do
    cmp "$work/1.$stream" "$work/default.$stream" || { echo "standard $stream differs"; exit 1; }
done
echo "one thread and the default run agree on $pages pages"

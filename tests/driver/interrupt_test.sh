#!/usr/bin/env bash
# Stops runs with SIGTERM at random moments, into a fresh folder and into one whose
# pages all get replaced, and checks what each run left: every page whole (the bytes
# of a complete run's page, or of the old page it was replacing), no temporary file,
# status 143. Then checks that a run removes the temporary files of a run that died,
# and leaves those of a live one.
#
# Usage: interrupt_test.sh QUILLGEN SOURCE_DIR [STOPS]
set -u
quillgen=$(realpath "$1")
source_dir=$(realpath "$2")
stops=${3:-20}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

cd "$work" || exit 1
for seed in 1 2 3 4; do
    python3 "$source_dir/bench/gen_header.py" 120 "$seed" >"h$seed.h"
done
inputs=(h1.h h2.h h3.h h4.h)

start=$(date +%s%N)
"$quillgen" -o reference "${inputs[@]}" >/dev/null 2>&1 || fail "the reference run failed"
elapsed_us=$((($(date +%s%N) - start) / 1000))
echo "reference run: $((elapsed_us / 1000)) ms, $(ls reference | wc -l) files"

# The old pages of the replacing runs: each reference page with one more line.
mkdir -p old
for page in reference/*.htm; do
    { cat "$page"; echo "<!-- old -->"; } >"old/${page#reference/}"
done

# Whether every page in folder is whole: equal to the reference's or to the old one.
check_folder() {
    python3 - "$1" "$2" <<'PYTHON' || fail "$2"
import os, sys
folder, label = sys.argv[1:]
def content(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None
bad = []
for name in sorted(os.listdir(folder)) if os.path.isdir(folder) else []:
    if name.startswith(".quillgen-") and name.endswith(".tmp"):
        bad.append(name + " (a temporary file)")
    elif name.endswith(".htm"):
        page = content(os.path.join(folder, name))
        if page not in (content(os.path.join("reference", name)),
                        content(os.path.join("old", name))):
            bad.append(name + " (not a whole page)")
for entry in bad[:5]:
    print(label + ": " + entry)
sys.exit(1 if bad else 0)
PYTHON
}

interrupted=0
for ((i = 0; i < stops; i++)); do
    folder=run$i
    rm -rf "$folder"
    if ((i % 2 == 1)); then
        cp -r old "$folder"
    fi
    "$quillgen" -o "$folder" "${inputs[@]}" >/dev/null 2>&1 &
    pid=$!
    # Anywhere in the first half of the run's expected length.
    delay_us=$((RANDOM * 32768 + RANDOM))
    delay_us=$((delay_us % (elapsed_us / 2 + 1)))
    sleep "$(printf '0.%06d' "$delay_us")"
    kill -TERM "$pid" 2>/dev/null
    wait "$pid"
    status=$?
    if [ "$status" = 143 ]; then
        interrupted=$((interrupted + 1))
    elif [ "$status" != 0 ]; then
        fail "run $i: status $status"
    else
        echo "run $i ended before the signal came, ${delay_us} us after its start"
        # The machine is quicker now than when the reference ran: later signals come
        # sooner.
        elapsed_us=$((delay_us > 2000 ? delay_us : 2000))
    fi
    check_folder "$folder" "run $i"
    rm -rf "$folder"
done
echo "$interrupted of $stops runs were stopped by the signal"
# The delays fall in the first half of a run's length and shrink when a run ends
# first: some runs are stopped, however busy the machine.
((interrupted > 0)) || fail "no run was stopped by the signal"

# Temporary files: a dead run's go, a live process's stay.
mkdir -p stale
dead=999999
while kill -0 "$dead" 2>/dev/null; do dead=$((dead - 1)); done
touch "stale/.quillgen-$dead-0.tmp" "stale/.quillgen-$$-3.tmp" stale/.quillgen-x-1.tmp
"$quillgen" -o stale h1.h >/dev/null 2>&1 || fail "the run into stale/ failed"
[ -e "stale/.quillgen-$dead-0.tmp" ] && fail "a dead run's temporary file is left"
[ -e "stale/.quillgen-$$-3.tmp" ] || fail "a live process's temporary file was removed"
[ -e stale/.quillgen-x-1.tmp ] || fail "a file of another form was removed"

((failures == 0)) && echo "all clean"
((failures == 0))

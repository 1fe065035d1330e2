#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each for SECONDS
# (default 30) from its seed corpus and dictionary in fuzz/. A crash fails
# the run and its reproducer is printed.
# Usage: scripts/fuzz.sh [SECONDS] [HARNESS...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(reply settings values catalogue can capture diagnostic dbc package)

scripts/setup.sh fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# The corpus grows in the build folder; the tree's seeds stay as they are.
work=build/fuzz/run
mkdir -p "$work"
rm -f "$work"/*.verdict

# One harness: its corpus from the seeds, its verdict into $work/NAME.verdict.
fuzz_one() {
    local name=$1 corpus=$work/$1
    mkdir -p "$corpus"
    cp fuzz/corpus/"$name"/* "$corpus"/
    rm -f "$work/$name"-crash-* "$work/$name"-leak-* "$work/$name"-timeout-* "$work/$name"-oom-*
    if build/fuzz/fuzz/"$name"_fuzz -max_total_time="$seconds" -timeout=10 \
        -dict=fuzz/"$name".dict -artifact_prefix="$work/$name-" "$corpus" >"$work/$name.log" 2>&1; then
        echo ok >"$work/$name.verdict"
    else
        echo failed >"$work/$name.verdict"
    fi
}

# As many harnesses at once as there are cores: each fuzzes on one, and the
# whole run takes a fraction of the harnesses' time laid end to end.
cores=$(nproc)
running=0
for name in "${harnesses[@]}"; do
    (fuzz_one "$name" || echo failed >"$work/$name.verdict") &
    running=$((running + 1))
    if [ "$running" -ge "$cores" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

status=0
for name in "${harnesses[@]}"; do
    if [ "$(cat "$work/$name.verdict" 2>/dev/null)" = ok ]; then
        echo "$name: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$work/$name.log")"
    else
        status=1
        echo "$name: FAILED"
        grep -A30 "ERROR\|==ERROR\|deadly signal\|runtime error" "$work/$name.log" | head -60 || true
        for reproducer in "$work/$name"-*; do
            [ -f "$reproducer" ] || continue
            echo "reproducer $reproducer (hex):"
            od -An -tx1 "$reproducer" | head -20
            echo "run it again: build/fuzz/fuzz/${name}_fuzz $reproducer"
        done
    fi
done
exit $status

#!/bin/sh
# Signals proposed from a capture alone (k57ctl can signals): how many of a
# real database's signals they find, and how fast. Traffic is made from
# each DBC file beside the project (counters, checksums, toggles, constants
# and values drifting as random walks), 3,000 frames a message; then
# 1,000,000 frames of vw_mqb.dbc's messages are proposed in memory, and the
# same written as a candump log and read by k57ctl (best of 3).
#
# Usage: bench/signals_accuracy.sh [BUILD_DIR] [DBC_FOLDER]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/default}
dbcs=${2:-$here/../../shared/testdata/dbc}
accuracy=$build/tests/can/signals_accuracy
ctl=$build/ctl/k57ctl
for program in "$accuracy" "$ctl"; do
    [ -x "$program" ] || { echo "no $program: build signals_accuracy and k57ctl" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$accuracy" --frames 3000 "$dbcs"/*.dbc
"$accuracy" --frames 3000 --time 1000000 --candump "$work/million.log" "$dbcs/vw_mqb.dbc" |
    tail -n 1

best=
for run in 1 2 3; do
    start=$(date +%s.%N)
    "$ctl" --quiet can signals "$work/million.log" >/dev/null
    took=$(echo "$(date +%s.%N) - $start" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$took < $best" | bc -l)" = 1 ]; then best=$took; fi
done
printf 'k57ctl can signals, a candump log of 1000000 frames: %.2f s (best of 3)\n' "$best"

#!/bin/sh
# k57ctl can decode, as text and as JSON, against canmatrix (Python) on the
# same candump log: 200000 frames of a real DBC's messages, random data.
# Each time is the best of 3 runs, output to /dev/null.
#
# Usage: bench/decode_vs_canmatrix.sh [BUILD_DIR] [DBC]
set -eu
# The system's Python: python3-canmatrix and python3-can are its packages.
python3=${PYTHON3:-/usr/bin/python3}
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/default}
dbc=${2:-$here/../../shared/testdata/dbc/vw_mqb.dbc}
ctl=$build/ctl/k57ctl
[ -x "$ctl" ] || { echo "no $ctl: build the k57ctl target" >&2; exit 1; }
[ -f "$dbc" ] || { echo "no $dbc" >&2; exit 1; }
"$python3" -c 'import canmatrix, can' 2>/dev/null ||
    { echo "needs python3-canmatrix and python3-can" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log=$work/frames.log
"$python3" "$here/decode_vs_canmatrix.py" make "$dbc" "$log" 200000

# The best wall-clock time of 3 runs of the command, in seconds.
best() {
    "$python3" - "$@" <<'PY'
import subprocess, sys, time
best = None
for _ in range(3):
    start = time.perf_counter()
    subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    took = time.perf_counter() - start
    best = took if best is None or took < best else best
print("%.3f" % best)
PY
}

text=$(best "$ctl" --quiet can decode "$log" --dbc "$dbc")
json=$(best "$ctl" --quiet --json can decode "$log" --dbc "$dbc")
python=$(best "$python3" "$here/decode_vs_canmatrix.py" decode "$dbc" "$log")
echo "can decode, 200000 frames of $(basename "$dbc"), best of 3"
printf '  k57ctl, text     %8.3f s  canmatrix / k57ctl %6.1f x\n' "$text" \
    "$(echo "$python / $text" | bc -l)"
printf '  k57ctl, --json   %8.3f s  canmatrix / k57ctl %6.1f x\n' "$json" \
    "$(echo "$python / $json" | bc -l)"
printf '  canmatrix        %8.3f s\n' "$python"
printf '  json / text      %8.2f\n' "$(echo "$json / $text" | bc -l)"

#!/usr/bin/env bash
# The diagnostic monitor's cost: the real program under Xvfb against the
# simulated unit's diagnostic stream, k57tool's own CPU time (user + system,
# from /proc) over a measuring period with the monitor shown, at 10 reading
# lines a second and at 500. Not a test; needs Xvfb and xdotool.
# Usage: bench/diag_window_cpu.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
source bench/window_bench.sh

measure() {
    local label=$1
    shift
    start_unit_and_tool "$@"
    open_diagnostic
    sleep 3
    report_cpu "$label"
}

echo "Diagnostic monitor, k57tool's own CPU time over $seconds s"
measure "monitor shown, 10 lines/s" --diag-period 100
measure "monitor shown, 500 lines/s" --diag-period 2

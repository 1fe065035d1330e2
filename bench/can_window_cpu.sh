#!/usr/bin/env bash
# The CAN monitor's cost: the real program under Xvfb against the simulated
# unit, its own CPU time (user + system, from /proc) over a measuring
# period, with the monitor open and the channel closed, then open at
# 2,500 frames/s over 150 identifiers and at 8,000 frames/s over 4,096.
# Not a test; needs Xvfb and xdotool.
# Usage: bench/can_window_cpu.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
source bench/window_bench.sh

# One run: the unit with the given options, the window, the monitor.
measure() {
    local label=$1 open=$2
    shift 2
    start_unit_and_tool "$@"
    # The monitor's hidden entry: a double click on the port box's frame.
    xdotool mousemove --window "$main" 30 98 click --repeat 2 --delay 80 1
    local can
    can=$(window_named "^CanMonitor$")
    if [ "$open" = open ]; then
        xdotool mousemove --window "$can" 260 22 click 1  # "Open CAN"
    fi
    sleep 3
    [ -z "${K57_SHOT:-}" ] || import -window root "$K57_SHOT-${label%%,*}.png"
    report_cpu "$label"
}

echo "CAN monitor window, k57tool's own CPU time over $seconds s"
measure "monitor shown, channel closed" closed
measure "open, 2,500 frames/s over 150 identifiers" open --can-rate 2500 --can-ids 150
measure "open, 8,000 frames/s over 4,096 identifiers" open --can-rate 8000 --can-ids 4096

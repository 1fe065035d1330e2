#!/usr/bin/env bash
# The motion sensor's plot's cost: the real program under Xvfb against the
# simulated unit streaming its motion trace (100 readings a second, taps and
# tilt events), k57tool's own CPU time (user + system, from /proc) over a
# measuring period with the diagnostic monitor alone, then with its plot
# open and following the readings. K57_SHOT=prefix saves a screenshot of
# each run. Not a test; needs Xvfb and xdotool (and ImageMagick for shots).
# Usage: bench/diag_plot_cpu.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
source bench/window_bench.sh

measure() {
    local label=$1 plot=$2
    start_unit_and_tool --diag-motion
    open_diagnostic
    if [ "$plot" = plot ]; then
        xdotool mousemove --window "$diagnostic" 359 20 click 1  # "График"
        local shown
        shown=$(window_named "^График датчика движения$")
        xdotool windowmove "$shown" 60 300  # at its own size, 900 × 480
    fi
    sleep 12  # past the first tap and the tilt alarm
    [ -z "${K57_SHOT:-}" ] || import -window root "$K57_SHOT-$plot.png"
    report_cpu "$label"
}

echo "Diagnostic monitor and its plot, k57tool's own CPU time over $seconds s"
measure "monitor shown, plot closed" none
measure "plot open, 100 readings/s" plot

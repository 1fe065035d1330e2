#!/usr/bin/env bash
# The CAN monitor's cost: the real program under Xvfb against the simulated
# unit, its own CPU time (user + system, from /proc) over a measuring
# period, with the monitor open and the channel closed, then open at
# 2,500 frames/s over 150 identifiers and at 8,000 frames/s over 4,096,
# and that again with an identifier filter, the bit filter and the table's
# heat, rate, hold and grey silent rows on (preset in the private settings
# file, the filter applied by opening the companion window). Beside each
# open case, the CAN frame lines the simulated adapter dropped because the
# window did not read them in time (its buffer holds 300); the last case
# runs 60 s at 8,000 frames/s over 2,000 identifiers.
# Not a test; needs Xvfb and xdotool. K57_SHOT=PREFIX saves a screenshot
# of each case as PREFIX-CASE.png.
# Usage: bench/can_window_cpu.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
source bench/window_bench.sh

settings=$XDG_CONFIG_HOME/k57tool/k57tool.ini

# One run: the unit with the given options, the window, the monitor; with
# "hunt", the companion window and the bit filter too.
measure() {
    local label=$1 open=$2 shot=$3
    shift 3
    start_unit_and_tool "$@"
    # The monitor's hidden entry: a double click on the port box's frame.
    xdotool mousemove --window "$main" 30 98 click --repeat 2 --delay 80 1
    local can
    can=$(window_named "^CanMonitor$")
    if [ "$open" = hunt ]; then
        xdotool mousemove --window "$can" 415 18 click 1  # "Bit filter"
        sleep 0.5
        xdotool mousemove --window "$can" 300 300 key ctrl+h  # "Поиск сигнала…"
        # Side by side, as a window manager would leave them.
        xdotool windowmove "$can" 0 0
        xdotool windowmove "$(window_named "^Поиск сигнала$")" 690 0
    fi
    if [ "$open" != closed ]; then
        xdotool mousemove --window "$can" 260 22 click 1  # "Open CAN"
    fi
    sleep 3
    [ -z "${K57_SHOT:-}" ] || import -window root "$K57_SHOT-$shot.png"
    report_cpu "$label" "$([ "$open" = closed ] || echo drops)"
}

echo "CAN monitor window, k57tool's own CPU time over $seconds s"
measure "monitor shown, channel closed" closed closed
measure "open, 2,500 frames/s over 150 identifiers" open 2500 --can-rate 2500 --can-ids 150
measure "open, 8,000 frames/s over 4,096 identifiers" open 8000 --can-rate 8000 --can-ids 4096
# A quarter of the identifiers filtered out, every table choice on.
mkdir -p "$(dirname "$settings")"
cat >"$settings" <<'INI'
[CanMonitor]
filter=-18DA0C00/1FFFFC00
heat=true
rate=true
hold=true
holdMs=1000
silence=grey
quietS=5
INI
measure "filters, heat, rate, hold, grey silent rows" hunt heat --can-rate 8000 --can-ids 4096
rm -f "$settings"
seconds=60
measure "open 60 s, 8,000 frames/s over 2,000 ids" open 2000 --can-rate 8000 --can-ids 2000

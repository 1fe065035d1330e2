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
build=build/default
work=$(mktemp -d)
display=:57
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true  # the display's name is free again
    rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=$display K57_PORTS_DIR=$work/ports XDG_CONFIG_HOME=$work/config
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
done
hz=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# One run: the unit with the given options, the window, the monitor.
measure() {
    local label=$1 open=$2
    shift 2
    "$build/sim/k57sim" --port COM5 "$@" >/dev/null 2>&1 &
    local sim=$!
    pids+=("$sim")
    sleep 0.3
    "$build/app/k57tool" >/dev/null 2>&1 &
    local tool=$!
    pids+=("$tool")
    local main=""
    for _ in $(seq 100); do
        main=$(xdotool search --name "K57BT" 2>/dev/null | head -1) && [ -n "$main" ] && break
        sleep 0.1
    done
    # The monitor's hidden entry: a double click on the port box's frame.
    xdotool mousemove --window "$main" 30 98 click --repeat 2 --delay 80 1
    local can=""
    for _ in $(seq 100); do
        can=$(xdotool search --name "^CanMonitor$" 2>/dev/null | head -1) && [ -n "$can" ] && break
        sleep 0.1
    done
    if [ "$open" = open ]; then
        xdotool mousemove --window "$can" 260 22 click 1  # "Open CAN"
    fi
    sleep 3
    [ -z "${K57_SHOT:-}" ] || import -window root "$K57_SHOT-${label%%,*}.png"
    local before after
    before=$(cpu_ticks "$tool")
    sleep "$seconds"
    after=$(cpu_ticks "$tool")
    awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" -v l="$label" \
        'BEGIN { printf "  %-44s %5.2f %% of a core\n", l, 100 * t / hz / s }'
    kill "$tool" "$sim" 2>/dev/null || true
    wait "$tool" "$sim" 2>/dev/null || true
}

echo "CAN monitor window, k57tool's own CPU time over $seconds s"
measure "monitor shown, channel closed" closed
measure "open, 2,500 frames/s over 150 identifiers" open --can-rate 2500 --can-ids 150
measure "open, 8,000 frames/s over 4,096 identifiers" open --can-rate 8000 --can-ids 4096

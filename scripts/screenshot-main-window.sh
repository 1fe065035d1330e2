#!/usr/bin/env bash
# Takes the picture of the main window the documents show
# (docs/images/main-window.png): k57tool on a private X display (Xvfb)
# against a simulated unit, after "Серийный номер" has been answered.
# Needs the packages xvfb, xdotool and imagemagick (apt-get install xvfb
# xdotool imagemagick) and the default build (build/default, or
# $K57_BUILD_DIR). Run it again when the main window changes.
#
# Usage: scripts/screenshot-main-window.sh [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/images/main-window.png}"
bin="${K57_BUILD_DIR:-build/default}"
for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null ||
        { echo "screenshot-main-window.sh: needs $tool: apt-get install xvfb xdotool imagemagick" >&2; exit 2; }
done

# Ports, settings and the service journal of its own, as scripts/run.sh
# keeps them, so the picture's unit stays out of the technician's journal.
scratch="$(mktemp -d)"
export K57_PORTS_DIR="$scratch/ports" XDG_CONFIG_HOME="$scratch/config" K57_DATA_DIR="$scratch/data"
mkdir -p "$K57_PORTS_DIR" "$XDG_CONFIG_HOME/k57tool" "$K57_DATA_DIR"
printf '[General]\nPort=COM5\n' >"$XDG_CONFIG_HOME/k57tool/k57tool.ini"

display=:58
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
pids=($!)
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$scratch"' EXIT
export DISPLAY="$display"

# Waits up to 20 s for a condition (a command) to hold.
wait_for() {
    for _ in $(seq 200); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    echo "screenshot-main-window.sh: gave up waiting for: $*" >&2
    exit 1
}
wait_for test -e "/tmp/.X11-unix/X${display#:}"
"$bin/sim/k57sim" --port COM5 >/dev/null 2>&1 &
pids+=($!)
wait_for test -e "$K57_PORTS_DIR/COM5"
"$bin/app/k57tool" --lang ru >/dev/null 2>&1 &
pids+=($!)
wait_for xdotool search --name "K57BT"
main=$(xdotool search --name "K57BT" | head -1)

# "Серийный номер": its place in resources/MainForm.ui. The answer is
# there once the journal has recorded the identification.
xdotool mousemove --window "$main" 84 277 click 1
wait_for sh -c '"$0/ctl/k57ctl" history 12345678 | grep -q identify' "$bin"
sleep 1  # the log's repaint after the answer

import -window "$main" "$scratch/window.png"
# Few colours are enough for a window of flat greys, and keep it small.
convert "$scratch/window.png" -colors 64 "PNG8:$out"
echo "$out: $(stat -c %s "$out") bytes"

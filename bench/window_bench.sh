# Shared by the window benchmarks: a private X display (Xvfb), the
# simulated unit and k57tool started on it, their clean-up, and a program's
# own CPU time. Sourced, not run; needs Xvfb and xdotool.
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
# Ports, settings and the service journal of their own: the fake unit's
# entries never reach the journal of whoever runs the benchmark.
export DISPLAY=$display K57_PORTS_DIR=$work/ports XDG_CONFIG_HOME=$work/config \
    K57_DATA_DIR=$work/data
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
done
hz=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# The window whose title matches $1, waited for up to 10 s.
window_named() {
    local id=""
    for _ in $(seq 100); do
        id=$(xdotool search --name "$1" 2>/dev/null | head -1) && [ -n "$id" ] && break
        sleep 0.1
    done
    echo "$id"
}

# The unit with the options given and k57tool; sets sim, tool and main.
start_unit_and_tool() {
    # Its report at the end (lines it dropped) is kept for sim_dropped.
    "$build/sim/k57sim" --port COM5 "$@" >/dev/null 2>"$work/sim.err" &
    sim=$!
    pids+=("$sim")
    sleep 0.3
    "$build/app/k57tool" >/dev/null 2>&1 &
    tool=$!
    pids+=("$tool")
    main=$(window_named "K57BT")
}

# The diagnostic monitor, through its hidden entry (a double click on the
# main window's memo); sets diagnostic.
open_diagnostic() {
    xdotool mousemove --window "$main" 160 400 click --repeat 2 --delay 80 1
    diagnostic=$(window_named "^DiagnosticForm$")
}

# The CAN frame lines the last unit dropped because the tool left its
# adapter's buffer full, as it reported when it ended.
sim_dropped() {
    awk '/CAN frame lines dropped/ { n = $2 } END { print n + 0 }' "$work/sim.err"
}

# k57tool's CPU over $seconds, printed as a share of a core under $1; with
# $2 = drops, the unit's dropped CAN frame lines beside it.
report_cpu() {
    local before after
    before=$(cpu_ticks "$tool")
    sleep "$seconds"
    after=$(cpu_ticks "$tool")
    # The unit first: frames it sends to a tool already gone count as dropped.
    kill "$sim" 2>/dev/null || true
    wait "$sim" 2>/dev/null || true
    kill "$tool" 2>/dev/null || true
    wait "$tool" 2>/dev/null || true
    local extra=""
    [ "${2:-}" != drops ] || extra=", $(sim_dropped) lines dropped"
    awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" -v l="$1" -v e="$extra" \
        'BEGIN { printf "  %-44s %5.2f %% of a core%s\n", l, 100 * t / hz / s, e }'
}

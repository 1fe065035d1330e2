#!/bin/sh
# Starts or stops the simulated units the host-unit tests talk to: k57sim
# processes on this machine, reached as COM40..COM44 through the ports
# directory (DIR/ports), or under Wine through the prefix's dosdevices.
#
#   units.sh start K57SIM DIR ports|wine
#   units.sh stop DIR
set -eu
action=$1
case "$action" in
start)
    sim=$2 dir=$3 mode=$4
    "$0" stop "$dir" 2>/dev/null || true
    mkdir -p "$dir/ports"
    : > "$dir/pids"
    : > "$dir/com40.txt"
    plug() {
        com=$1; shift
        if [ "$mode" = wine ]; then
            link="${WINEPREFIX:-$HOME/.wine}/dosdevices/com$com"
            where="--link $link"
        else
            link="$dir/ports/COM$com"
            where="--port COM$com"
        fi
        # No inherited output: the test driver waits for its pipes to close.
        K57_PORTS_DIR="$dir/ports" "$sim" $where "$@" </dev/null >"$dir/com$com.log" 2>&1 &
        echo $! >> "$dir/pids"
        n=0
        while [ ! -L "$link" ]; do
            n=$((n + 1))
            [ $n -lt 500 ] || { echo "COM$com did not come up" >&2; cat "$dir/com$com.log" >&2; exit 1; }
            sleep 0.01
        done
    }
    plug 40 --serial 40404040 --settings "$dir/com40.txt"
    plug 41 --silent
    plug 42 --wrong-type
    plug 43 --refuse-commits
    plug 44 --undecodable
    # Takes the firmware updates, whose new version it then reports.
    plug 46
    ;;
stop)
    dir=$2
    [ -f "$dir/pids" ] || exit 0
    for pid in $(cat "$dir/pids"); do
        kill "$pid" 2>/dev/null || true
    done
    for pid in $(cat "$dir/pids"); do
        while kill -0 "$pid" 2>/dev/null; do sleep 0.01; done
    done
    rm -f "$dir/pids"
    ;;
esac

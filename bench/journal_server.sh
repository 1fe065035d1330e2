#!/bin/sh
# The journal shared through a workshop's server, measured against a
# throwaway PostgreSQL 15 (scripts/pg-test-server.sh): journal_sync_bench's
# figures, then what a configured server that does not answer costs one
# k57ctl command against a simulated unit: once the connection's time-out
# (target 2 s more), then nothing until the next try a minute later.
#
# Usage: bench/journal_server.sh [BUILD_DIR]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/default}
work=$(mktemp -d)
export K57_DATA_DIR=$work/data XDG_CONFIG_HOME=$work/config
cleanup() {
    kill "$sim" "$silent" 2>/dev/null || true
    bash "$here/../scripts/pg-test-server.sh" stop "$work/pg" >/dev/null 2>&1 || true
    rm -rf "$work"
}
sim= silent=
trap cleanup EXIT
bash "$here/../scripts/pg-test-server.sh" start "$work/pg"
"$build/bench/journal_sync_bench" "$(cat "$work/pg/conninfo")"

"$build/sim/k57sim" --link "$work/unit" >/dev/null 2>&1 &
sim=$!
# A port that takes connections and never answers.
python3 -c 'import socket,sys,time
s=socket.socket(); s.bind(("127.0.0.1",0)); s.listen(8)
print(s.getsockname()[1], flush=True); time.sleep(600)' >"$work/port" &
silent=$!
while [ ! -s "$work/port" ] || [ ! -e "$work/unit" ]; do sleep 0.1; done
run() {
    start=$(date +%s.%N)
    "$build/ctl/k57ctl" --port "$work/unit" --quiet info >/dev/null 2>&1
    echo "$(date +%s.%N) - $start" | bc -l
}
alone=$(run)
export K57_JOURNAL_SERVER="postgresql://bench@127.0.0.1:$(cat "$work/port")/k57"
first=$(run)
second=$(run)
printf 'k57ctl info: %.2f s without a server; with one that does not answer %.2f s, then %.2f s (target: at most 2 s more once, then nothing)\n' \
    "$alone" "$first" "$second"

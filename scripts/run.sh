#!/usr/bin/env bash
# Installs what is missing, builds the program and runs it against a
# simulated unit on COM5, so the tool can be tried without hardware.
# With --real the simulator is left out and the tool uses the real ports.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default

if [ "${1:-}" = "--real" ]; then
    exec build/default/app/k57tool
fi

# A private ports directory: the simulated unit is the only port there.
K57_PORTS_DIR="$(mktemp -d)"
export K57_PORTS_DIR
build/default/sim/k57sim --port COM5 >/dev/null &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$K57_PORTS_DIR"' EXIT
for _ in $(seq 50); do [ -e "$K57_PORTS_DIR/COM5" ] && break; sleep 0.1; done
echo "Simulated unit on COM5; starting the tool."
build/default/app/k57tool

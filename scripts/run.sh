#!/usr/bin/env bash
# Installs what is missing, builds the program and runs it against a
# simulated unit on COM5, so the tool can be tried without hardware. The
# window opens on the simulated unit's port; the port you stored for real
# units stays as it was.
#
# Usage: scripts/run.sh [--real] [--no-window] [--no-build]
#   --real       no simulated unit: the tool uses the real ports
#   --no-window  start the simulated unit, show that k57ctl reaches it, and end
#   --no-build   use what is built already (in $K57_BUILD_DIR, default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
real=0 window=1 build=1
for arg in "$@"; do
    case "$arg" in
        --real) real=1 ;;
        --no-window) window=0 ;;
        --no-build) build=0 ;;
        *) echo "run.sh: unknown option $arg" >&2; exit 2 ;;
    esac
done
bin="${K57_BUILD_DIR:-build/default}"
if [ $build = 1 ]; then
    scripts/setup.sh
    cmake --preset default >/dev/null
    cmake --build --preset default
fi

if [ $real = 1 ]; then
    exec "$bin/app/k57tool"
fi

# A private ports directory, where the simulated unit is the only port, a
# private settings folder whose stored port is the simulated unit's, and a
# private data folder, so the simulated unit's entries stay out of the
# technician's service journal.
scratch="$(mktemp -d)"
export K57_PORTS_DIR="$scratch/ports" XDG_CONFIG_HOME="$scratch/config" K57_DATA_DIR="$scratch/data"
mkdir -p "$K57_PORTS_DIR" "$XDG_CONFIG_HOME/k57tool" "$K57_DATA_DIR"
printf '[General]\nPort=COM5\n' >"$XDG_CONFIG_HOME/k57tool/k57tool.ini"
"$bin/sim/k57sim" --port COM5 >/dev/null &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$scratch"' EXIT
for _ in $(seq 50); do [ -e "$K57_PORTS_DIR/COM5" ] && break; sleep 0.1; done

echo "Simulated unit on COM5. From another terminal, k57ctl reaches it with:"
echo "  K57_PORTS_DIR=$K57_PORTS_DIR K57_DATA_DIR=$K57_DATA_DIR $bin/ctl/k57ctl --port COM5 info"
if [ $window = 0 ]; then
    # The stored port the window would open on.
    "$bin/ctl/k57ctl" info
    exit
fi
echo "Starting the tool on COM5."
"$bin/app/k57tool"

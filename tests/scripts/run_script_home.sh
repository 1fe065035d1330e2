#!/bin/sh
# The try-out script against a home folder of its own: the simulated unit,
# the stored port and the service journal entries it makes must all stay in
# the script's scratch folder, so the home folder is left empty.
# Usage: run_script_home.sh SOURCE_DIR (K57_BUILD_DIR names the build)
set -eu
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
env -u K57_DATA_DIR -u K57_PORTS_DIR -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$home" \
    bash "$1/scripts/run.sh" --no-build --no-window
left="$(find "$home" -mindepth 1)"
if [ -n "$left" ]; then
    echo "run.sh wrote into the home folder:"
    echo "$left"
    exit 1
fi
echo "home folder untouched"

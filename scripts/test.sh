#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
# Usage: scripts/test.sh [default|sanitize|tsan]
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/setup.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
# The fixture pg_server stops its PostgreSQL after the last test, failed or
# not; this stops one that an interrupted ctest left running.
trap 'scripts/pg-test-server.sh stop "build/$preset/pg-test" >/dev/null 2>&1 || true' EXIT
ctest --preset "$preset"

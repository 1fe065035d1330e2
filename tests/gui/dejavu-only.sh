#!/bin/sh
# Runs a Windows program under Wine as a PC without Wine's own fonts (Tahoma
# among them) sees it: Wine's font folder emptied in a mount namespace of
# its own, so only the system's DejaVu fonts are left, on an X server of its
# own for Qt's Windows platform. Exit 77 (skipped) where that cannot be made.
#   dejavu-only.sh EMPTY-DIR PROGRAM [ARGS...]
set -eu
empty=$1
shift
fonts=/usr/share/wine/fonts
if ! command -v xvfb-run >/dev/null || ! unshare -m true 2>/dev/null; then
    echo "needs xvfb-run and a mount namespace (root)" >&2
    exit 77
fi
mkdir -p "$empty"
exec xvfb-run -a -s "-screen 0 1280x1024x24" unshare -m sh -c \
    'if [ -d "$1" ]; then mount --bind "$0" "$1"; fi; shift; exec "$@"' "$empty" "$fonts" "$@"

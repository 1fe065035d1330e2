#!/usr/bin/env bash
# Installs the system packages a build needs. As root it runs apt-get;
# otherwise it prints the one line to run and fails.
# Usage: scripts/setup.sh [windows|fuzz|package]
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev librapidxml-dev libgtest-dev libsqlite3-dev
          qt6-translations-l10n qt6-l10n-tools qt6-tools-dev libcli11-dev python3-can fontconfig fonts-dejavu-core
          librsvg2-bin python3-canmatrix locales-all zlib1g-dev poppler-utils
          libpq-dev postgresql libsodium-dev)
if [ "${1:-}" = package ]; then
    packages+=(dpkg-dev desktop-file-utils)
fi
if [ "${1:-}" = fuzz ]; then
    packages+=(clang libclang-rt-14-dev)
fi
if [ "${1:-}" = windows ]; then
    # The cross compiler, Wine to run the Windows tests, GoogleTest's
    # sources to build them, and zstd for the Qt SDK's archive. Wine's own
    # fonts (Tahoma among them) as a Windows PC has them, an X server for
    # Qt's Windows platform under Wine, icotool for the program's icon,
    # makensis for the installer, the tools that sign the executables, and
    # zlib for MinGW (BLF capture files; its zlib1.dll ships beside the programs).
    packages+=(g++-mingw-w64-x86-64-posix wine wine64 googletest zstd fonts-wine xvfb
               icoutils nsis osslsigncode openssl libz-mingw-w64-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
else
    echo "Missing packages. Run:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi

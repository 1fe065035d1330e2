#!/usr/bin/env bash
# Builds a Release with the distribution's compiler and no -Werror, as a
# packager would, and makes the Debian package build/k57tool_VERSION_ARCH.deb.
# With --check it then lists the package, installs it, runs the installed
# programs and removes it again (as root).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh package
# K57_RELEASE_PUBLIC_KEY: the publisher's public key the package trusts;
# without it, the project's test key (CMake warns). Built in unity batches,
# as the other whole builds CI makes: the default build keeps one file per
# compilation, so a missing include still shows there.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DK57_BUILD_TESTS=OFF -DK57_BUILD_BENCH=OFF \
    -DCMAKE_UNITY_BUILD=ON \
    -DK57_BUILTIN_PUBLIC_KEY="${K57_RELEASE_PUBLIC_KEY:-$PWD/tests/data/k57-test.pub}" >/dev/null
cmake --build build/release
(cd build/release && cpack -G DEB >/dev/null)
deb=$(ls build/release/k57tool_*.deb)
cp "$deb" build/
deb=build/$(basename "$deb")
echo "$deb"

if [ "${1:-}" = --check ]; then
    dpkg-deb -c "$deb"
    # The technician's guide, in both languages, beside the front page.
    listing=$(dpkg-deb -c "$deb")
    for page in README.md guide/en/README.md guide/ru/README.md images/main-window.png; do
        grep -q " \./usr/share/doc/k57tool/$page\$" <<<"$listing" ||
            { echo "the package lacks /usr/share/doc/k57tool/$page" >&2; exit 1; }
    done
    dpkg-deb -f "$deb" Depends
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q "./$deb" >/dev/null
    /usr/bin/k57tool --version
    /usr/bin/k57ctl --help | head -3
    desktop-file-validate /usr/share/applications/k57tool.desktop
    test -f /usr/lib/udev/rules.d/60-k57.rules
    for page in k57tool k57ctl k57sim; do
        ls "/usr/share/man/man1/$page.1"* >/dev/null
    done
    apt-get remove -y -q k57tool >/dev/null
    if [ -e /usr/bin/k57tool ] || [ -e /usr/share/applications/k57tool.desktop ]; then
        echo "k57tool left files behind" >&2
        exit 1
    fi
    echo "installed, ran and removed cleanly"
fi

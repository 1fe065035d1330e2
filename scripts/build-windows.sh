#!/usr/bin/env bash
# Cross-builds the tool for 64-bit Windows with MinGW-w64 and makes
# build/k57tool-VERSION-win64.zip, which runs on a Windows PC as it is, and
# the installer build/k57tool-VERSION-win64-setup.exe. Both are signed when
# K57_SIGN_PKCS12 and K57_SIGN_PASSWORD name a certificate (see
# scripts/sign-windows.sh). With --test it signs with a throwaway
# certificate, checks the packages (scripts/check-windows-packages.sh) and
# runs the Windows tests under Wine.
#
# The Qt SDK, SQLite and the other libraries for MinGW (libpq with OpenSSL,
# libsodium) come from shared/toolchains (K57_QT_MINGW, K57_SQLITE_MINGW and
# K57_DEPS_MINGW name other archives) and are unpacked into build/windows-sdk,
# never into the repository's files.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/setup.sh windows

archive=${K57_QT_MINGW:-$root/../shared/toolchains/qt6.4.2-mingw64.tar.zst}
sdk=build/windows-sdk
if [ ! -f "$sdk/qt6-mingw64/toolchain-mingw64.cmake" ]; then
    mkdir -p "$sdk"
    tar -C "$sdk" -xf "$archive"
fi
sqlite=${K57_SQLITE_MINGW:-$root/../shared/toolchains/sqlite3-3.40.1-mingw64.tar.zst}
if [ ! -f "$sdk/sqlite3-mingw64/include/sqlite3.h" ]; then
    mkdir -p "$sdk"
    tar -C "$sdk" -xf "$sqlite"
fi
deps=${K57_DEPS_MINGW:-$root/../shared/toolchains/deps-mingw64.tar.zst}
if [ ! -f "$sdk/deps-mingw64/include/libpq-fe.h" ]; then
    mkdir -p "$sdk"
    tar -C "$sdk" -xf "$deps"
fi

# The Windows tests talk to the build machine's simulated unit; the
# translations are built by the build machine's Linguist tools.
cmake --preset default >/dev/null
cmake --build --preset default --target k57sim k57resources_lrelease

# K57_RELEASE_PUBLIC_KEY as for scripts/package.sh. The tests sign with the
# test key: --test builds with it whatever is set.
key=${K57_RELEASE_PUBLIC_KEY:-$root/tests/data/k57-test.pub}
[ "${1:-}" != --test ] || key=$root/tests/data/k57-test.pub
cmake --preset windows -DK57_HOST_QM_DIR="$root/build/default/resources" \
    -DK57_BUILTIN_PUBLIC_KEY="$key" >/dev/null
cmake --build --preset windows

# The tests sign with a throwaway certificate of their own when none is given.
if [ "${1:-}" = --test ] && [ -z "${K57_SIGN_PKCS12:-}" ]; then
    sign=build/windows-sign
    mkdir -p "$sign"
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=K57 test signing" \
        -addext "extendedKeyUsage=codeSigning" -keyout "$sign/key.pem" -out "$sign/cert.pem" \
        2>/dev/null
    openssl pkcs12 -export -inkey "$sign/key.pem" -in "$sign/cert.pem" \
        -passout pass:k57-test -out "$sign/test.p12"
    export K57_SIGN_PKCS12=$root/$sign/test.p12 K57_SIGN_PASSWORD=k57-test
    export K57_SIGN_CERT=$root/$sign/cert.pem
fi

# The portable zip and the installer, programs stripped and (with a
# certificate, see scripts/sign-windows.sh) signed; the installer is signed
# once made.
rm -f build/windows/k57tool-*-win64.zip build/windows/k57tool-*-win64-setup.exe
(cd build/windows && cpack -G "ZIP;NSIS64" >/dev/null)
cp build/windows/k57tool-*-win64.zip build/windows/k57tool-*-win64-setup.exe build/
scripts/sign-windows.sh build/k57tool-*-win64-setup.exe
ls -1 build/k57tool-*-win64.zip build/k57tool-*-win64-setup.exe

if [ "${1:-}" = --test ]; then
    # A prefix of the build's own; its services are started before ctest,
    # which would otherwise wait for ever on the pipes they inherit.
    export WINEPREFIX=$root/build/wine-prefix WINEDEBUG=-all
    # The tests find the Qt DLLs through the SDK's runner; SQLite's, libpq's
    # (with OpenSSL's and libsodium's) and zlib's (the MinGW package's) here.
    export WINEPATH="Z:$root/$sdk/sqlite3-mingw64/bin;Z:$root/$sdk/deps-mingw64/bin;Z:/usr/x86_64-w64-mingw32/lib"
    mkdir -p "$WINEPREFIX"
    wineserver -p
    /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1
    status=0
    scripts/check-windows-packages.sh build/k57tool-*-win64.zip build/k57tool-*-win64-setup.exe \
        || status=$?
    ctest --preset windows || status=$?
    echo "Skipped under Wine, and why:"
    grep -A1 ": Skipped$" build/windows/Testing/Temporary/LastTest.log | grep -v -e "^--$" \
        | sed -n 'n;p' | sed 's/^/  /' || true
    wineserver -k >/dev/null 2>&1 || true
    exit $status
fi

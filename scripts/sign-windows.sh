#!/bin/sh
# Signs Windows executables in place with osslsigncode (Authenticode,
# SHA-256) when a certificate is given; without one it does nothing.
#   K57_SIGN_PKCS12    the PKCS#12 file holding the certificate and its key
#   K57_SIGN_PASSWORD  its password (or K57_SIGN_PASSWORD_FILE: a file holding it)
#   K57_SIGN_TIMESTAMP optional: a timestamp server's URL
# Usage: scripts/sign-windows.sh FILE.exe...
set -eu
[ -n "${K57_SIGN_PKCS12:-}" ] || exit 0
[ -f "$K57_SIGN_PKCS12" ] || { echo "sign-windows: no file $K57_SIGN_PKCS12" >&2; exit 1; }
pass=${K57_SIGN_PASSWORD_FILE:-}
if [ -z "$pass" ]; then
    # The password goes through a private file, not the command line.
    pass=$(mktemp)
    trap 'rm -f "$pass"' EXIT
    printf '%s' "${K57_SIGN_PASSWORD:-}" >"$pass"
fi
for exe in "$@"; do
    set -- -pkcs12 "$K57_SIGN_PKCS12" -readpass "$pass" -h sha256 -n "K57 service tool"
    if [ -n "${K57_SIGN_TIMESTAMP:-}" ]; then
        set -- "$@" -ts "$K57_SIGN_TIMESTAMP"
    fi
    osslsigncode sign "$@" -in "$exe" -out "$exe.signed" >/dev/null
    mv -f "$exe.signed" "$exe"
    echo "signed $exe"
done

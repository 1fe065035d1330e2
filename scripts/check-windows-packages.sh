#!/usr/bin/env bash
# Checks what scripts/build-windows.sh made, as a technician receives it:
# - both programs in the zip carry an icon, version information naming the
#   publisher (K57_PUBLISHER) and a manifest, and are stripped; CLI11's and
#   RapidXML's licences are there, as both are compiled in; libpq with OpenSSL, and libsodium, are
#   there with their licences;
# - with a certificate (K57_SIGN_CERT, the signer's certificate in PEM)
#   the programs, the installer and its uninstaller verify;
# - the installer installs silently into a fresh Wine prefix, registers
#   under "Programs and Features", the installed programs start, and the
#   uninstaller removes every installed file and nothing of the user's.
# Usage: scripts/check-windows-packages.sh ZIP SETUP.EXE
set -euo pipefail
zip=$(readlink -f "$1") setup=$(readlink -f "$2")
cd "$(dirname "$0")/.."
root=$(pwd)
work=$root/build/windows-package-check
rm -rf "$work"
mkdir -p "$work/zip"
# The publisher the build was made for (K57_PUBLISHER), as its cache has it.
publisher=$(sed -n 's/^K57_PUBLISHER:STRING=//p' "${K57_WINDOWS_BUILD:-build/windows}/CMakeCache.txt")
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

verify() {
    [ -n "${K57_SIGN_CERT:-}" ] || return 0
    if osslsigncode verify -CAfile "$K57_SIGN_CERT" -in "$1" >"$work/verify.log" 2>&1; then
        pass "signature of $(basename "$1")"
    else
        fail "signature of $(basename "$1")"; cat "$work/verify.log" >&2
    fi
}

# The programs as shipped.
(cd "$work/zip" && python3 -m zipfile -e "$zip" .)
folder=$(dirname "$(find "$work/zip" -name k57tool.exe | head -1)")
for exe in k57tool.exe k57ctl.exe; do
    resources=$(wrestool -l "$folder/$exe")
    for kind in "type=group_icon" "type=version" "--type=24 "; do
        if grep -q -- "$kind" <<<"$resources"; then pass "$exe has $kind"; else fail "$exe lacks $kind"; fi
    done
    # The version information's strings are UTF-16: without their zero bytes
    # the key runs into its value.
    version_info=$(wrestool -x --raw --type=version "$folder/$exe" | tr -d '\0')
    if [[ "$version_info" == *"CompanyName$publisher"* ]]; then
        pass "$exe names its publisher"
    else
        fail "$exe does not name \"$publisher\" as its company"
    fi
    if x86_64-w64-mingw32-objdump -t "$folder/$exe" | grep -q "^\[ *[0-9]*\]"; then
        fail "$exe is not stripped"
    else
        pass "$exe is stripped"
    fi
    verify "$folder/$exe"
done
verify "$setup"

# libpq, the OpenSSL DLLs it imports, libsodium, and their licences.
shipped_libraries="libpq.dll libssl-3-x64.dll libcrypto-3-x64.dll libsodium-23.dll
    licenses/postgresql.txt licenses/openssl.txt licenses/libsodium.txt
    licenses/CLI11.txt licenses/RapidXML.txt"
for file in $shipped_libraries; do
    if [ -s "$folder/$file" ]; then pass "the zip has $file"; else fail "the zip lacks $file"; fi
done

# The installer, silently, into a fresh prefix of its own.
# No Mono or Gecko: their installers would wait for a click.
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH
mkdir -p "$WINEPREFIX"
# No persistent server: "wineserver -w" waits for the programs to end
# (the uninstaller goes on in a copy of itself after it returns).
/usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1
wine=/usr/lib/wine/wine64
installed="$WINEPREFIX/drive_c/Program Files/K57 service tool"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\k57tool'
"$wine" "$setup" /S </dev/null >/dev/null 2>&1 || fail "the installer exited with $?"
wineserver -w
if [ -f "$installed/k57tool.exe" ] && [ -f "$installed/platforms/qwindows.dll" ]; then
    pass "installed under Program Files"
else
    fail "nothing installed in $installed"
fi
for file in $shipped_libraries; do
    [ -s "$installed/$file" ] || fail "the installer left out $file"
done
(cd "$folder" && find . -type f | sort) >"$work/shipped.txt"
(cd "$installed" && find . -type f ! -name Uninstall.exe | sort) >"$work/installed.txt" || true
diff -u "$work/shipped.txt" "$work/installed.txt" >&2 && pass "the zip's files are the installed ones" \
    || fail "the installer and the zip differ"
registry=$("$wine" reg query "$key" 2>/dev/null | tr -d '\r' || true)
for value in DisplayName DisplayVersion Publisher EstimatedSize UninstallString QuietUninstallString; do
    if grep -q "^ *$value " <<<"$registry"; then pass "registered $value"; else fail "no $value under $key"; fi
done
if grep -q "^ *Publisher .*  $publisher\$" <<<"$registry"; then pass "published by $publisher"
else fail "the Publisher is not \"$publisher\""; fi
verify "$installed/Uninstall.exe"
menu=$(find "$WINEPREFIX/drive_c" -path "*Start Menu*" -name "K57 service tool.lnk" | head -1)
[ -n "$menu" ] && pass "Start menu shortcut" || fail "no Start menu shortcut"

version=$("$wine" "$installed/k57ctl.exe" --version </dev/null 2>&1 | tr -d '\r' || true)
if [[ "$version" == "k57ctl "* ]]; then pass "installed k57ctl: $version"; else fail "k57ctl --version: $version"; fi
# The window, on an X server of its own (the package carries Windows'
# platform plugin only): still running after a while means it started; a
# missing DLL or plugin ends it at once.
status=0
timeout 10 xvfb-run -a "$wine" "$installed/k57tool.exe" </dev/null >"$work/k57tool.log" 2>&1 \
    || status=$?
if [ $status -eq 124 ]; then pass "installed k57tool starts"; else
    fail "installed k57tool ended ($status)"; cat "$work/k57tool.log" >&2; fi
# k57ctl makes a QGuiApplication for batch --report (certificates need Qt's
# fonts) on the package's own platform plugin: ending with 1 (the files are
# missing) means it started; a plugin it cannot load ends it otherwise.
status=0
timeout 60 xvfb-run -a "$wine" "$installed/k57ctl.exe" batch none.txt --values none.csv --check \
    --report "Z:$work/report" </dev/null >"$work/k57ctl-report.log" 2>&1 || status=$?
if [ $status -eq 1 ]; then pass "installed k57ctl starts for batch --report"; else
    fail "installed k57ctl batch --report ended ($status)"; cat "$work/k57ctl-report.log" >&2; fi
wineserver -k >/dev/null 2>&1 || true

# The user's journal and a settings file the uninstaller must leave alone.
journal=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 ! -name Public | head -1)
journal="$journal/AppData/Local/k57tool"
mkdir -p "$journal"
echo journal >"$journal/journal.sqlite3"
"$wine" "$installed/Uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "the uninstaller exited with $?"
wineserver -w
left=$(find "$installed" 2>/dev/null || true)
[ -z "$left" ] && pass "the uninstaller removed every installed file" || fail "left behind: $left"
[ -f "$journal/journal.sqlite3" ] && pass "the user's journal stays" || fail "the journal was removed"
"$wine" reg query "$key" >/dev/null 2>&1 && fail "$key still registered" || pass "unregistered"
[ -z "$(find "$WINEPREFIX/drive_c" -name "K57 service tool.lnk")" ] && pass "shortcuts removed" \
    || fail "shortcuts left"
wineserver -k >/dev/null 2>&1 || true

if [ $failures -gt 0 ]; then
    echo "$failures package check(s) failed" >&2
    exit 1
fi
echo "package checks passed"

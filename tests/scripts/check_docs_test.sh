#!/usr/bin/env bash
# scripts/check-docs.sh against documents made for the purpose: what it
# must run, skip, accept and refuse, and that what the commands write stays
# out of the checkout.
# Usage: check_docs_test.sh SOURCE_DIR (K57_BUILD_DIR names the build)
set -u
source_dir="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# expect NAME EXIT_CODE PATTERN DOCUMENT_TEXT: the check of a document with
# that text exits so, and its output holds the pattern.
expect() {
    local name="$1" code="$2" pattern="$3"
    printf '%s\n' "$4" >"$work/$name.md"
    "$source_dir/scripts/check-docs.sh" "$work/$name.md" >"$work/out" 2>&1
    local got=$?
    if [ "$got" != "$code" ] || ! grep -qE -- "$pattern" "$work/out"; then
        echo "FAIL $name: exit $got (wanted $code), output:"
        cat "$work/out"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

fence='```'
expect runs_skips_and_accepts_a_failure_that_is_meant 0 '4 commands run, 1 skipped, 0 failed' "
$fence sh
k57ctl info
k57ctl settings set MicLevel=99        # exit code 1
sudo apt-get install ./k57tool.deb
for port in COM6 COM7; do
    k57ctl --port \"\$port\" info
done
$fence

$fence console
\$ k57ctl --port COM9 info    # exit code 2
k57ctl: COM9: cannot open the port (no such port)
$fence

$fence text
k57ctl --port COM9 info
$fence"

expect names_the_line_of_a_failing_command 1 "command\\.md:4: exit 2: k57ctl --port COM9 info" "
$fence sh
k57ctl info
k57ctl --port COM9 info
$fence"

expect refuses_a_success_meant_to_fail 1 'exit 0: k57ctl info' "
$fence sh
k57ctl info        # exit code 3
$fence"

expect stops_a_simulated_unit_left_running 0 '3 commands run, 0 skipped, 0 failed' "
$fence console
\$ k57sim --port COM5
/dev/pts/3
$fence

$fence sh
k57sim --port COM5 --serial 777 &
k57ctl --port COM5 info | grep -q 'serial: 777'
$fence"

expect refuses_a_link_that_leads_nowhere 1 'a link to gone\.md: no such file' "
See [a page](gone.md).
$fence sh
k57ctl info
$fence"

expect keeps_what_commands_write_out_of_the_checkout 0 '1 commands run' "
$fence sh
k57ctl settings read -o written-by-a-document.txt
$fence"
if [ -e "$source_dir/written-by-a-document.txt" ]; then
    echo "FAIL a document's command wrote into the checkout"
    rm -f "$source_dir/written-by-a-document.txt"
    failures=$((failures + 1))
fi

[ $failures = 0 ] && echo "check-docs.sh behaves"

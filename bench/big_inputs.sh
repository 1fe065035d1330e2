#!/usr/bin/env bash
# k57ctl's memory and time on inputs of 1 GB (or SIZE_MB): a sparse file of
# zero bytes (one endless line), random bytes, and short candump lines, fed
# to every command that reads a file. Each line: the command, its exit
# code, its peak resident memory (from /usr/bin/time) and its time.
# Not a test; needs /usr/bin/time and about 3 GB free in the work folder.
# Usage: bench/big_inputs.sh [SIZE_MB] [WORK_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-1024}
work=${2:-$(mktemp -d)}
mkdir -p "$work"
ctl=build/default/ctl/k57ctl
export K57_DATA_DIR=$work/data XDG_CONFIG_HOME=$work/config

truncate -s "${size}M" "$work/zeros"
head -c "${size}M" /dev/urandom >"$work/random"
yes '(1.000000) can0 123#1122334455667788' | head -c "${size}M" >"$work/lines" || true  # yes ends on SIGPIPE
printf 'VERSION ""\nBO_ 291 M: 8 X\n SG_ s : 0|8@1+ (1,0) [0|255] "" X\n' >"$work/one.dbc"
printf '1\n2\n' >"$work/marks"

run() {
    local started code peak
    started=$(date +%s.%N)
    code=0
    /usr/bin/time -f '%M' -o "$work/peak" "$ctl" --quiet "$@" >/dev/null 2>"$work/err" || code=$?
    peak=$(tail -n 1 "$work/peak")
    printf '%-60s exit %3s  %6d MB  %6.2f s\n' "$*" "$code" $((peak / 1024)) \
        "$(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')"
}

for input in zeros random lines; do
    file=$work/$input
    run update firmware --image "$file" --yes
    run update sound --image "$file" --yes
    run dbc check "$file"
    run can stats "$file"
    run can hunt "$file" --marks "$work/marks"
    run can decode "$file" --dbc "$work/one.dbc"
    run settings write --dry-run "$file"
done
run update firmware --image /dev/zero --yes

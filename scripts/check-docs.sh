#!/usr/bin/env bash
# Runs the commands the documents show, so that none of them goes stale.
#
# Usage: scripts/check-docs.sh [FILE.md...]   (default: README.md, docs/guide, docs/dev)
#
# What counts as a command, in the fenced code blocks of the Markdown files:
#   ```sh       every line is a command (lines are joined until bash can parse
#               them, so loops and lines ending in \ | && stay one command);
#   ```console  lines starting with "$ " are commands, the rest is their output
#               (shown to the reader, not compared);
#   a command that ends in "# exit code N" must exit with N, any other with 0;
#   any other block (```text, ```ini, ```bat, an indented one) is not run.
# A line of a block is skipped when it matches one of the patterns below,
# each with its reason. Everything else runs in a scratch folder: HOME,
# the settings, the data folder and the ports folder are its own, the port
# stored is COM5, simulated units (k57sim) answer on COM5, COM6 and COM7
# (a fresh journal and units for each document), and the built
# programs are on PATH (the default build, or $K57_BUILD_DIR). A block that
# starts a k57sim of its own gets an empty ports folder for it; a k57sim
# that runs until Ctrl+C (no "&") is stopped with Ctrl+C after 3 s. Every
# block ends with its background jobs stopped. A failing command is named
# by its file and line, and the script exits 1. Links between the
# documents, and to their headings, must lead somewhere too.
set -uo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
bin="$(cd "${K57_BUILD_DIR:-build/default}" && pwd)" || { echo "check-docs.sh: no build" >&2; exit 2; }
for program in ctl/k57ctl sim/k57sim app/k57tool; do
    [ -x "$bin/$program" ] || { echo "check-docs.sh: $bin/$program is not built" >&2; exit 2; }
done

# pattern (extended regex on the command) <TAB> why it cannot run here
skips='sudo |apt-get install|dpkg -i	changes the machine: needs root and installs or configures the system
(^| )(usermod|udevadm|systemctl|lsusb)( |$)	configures or lists the machine'"'"'s devices
/dev/(serial|ttyACM|ttyUSB)	needs a unit plugged in
\.exe|WINEPREFIX|qt-wine-run|\.wine/	Windows or Wine
scripts/setup\.sh	installs the system packages a build needs (as root)
scripts/(test|package|build-windows|fuzz)\.sh|\.ci/run|(^|[ ;])ctest |(^|[ ;])cmake 	builds for many minutes; CI builds and runs the same in stages of its own
scripts/screenshot-main-window\.sh	needs Xvfb and takes a picture; run by hand when the window changes
scripts/check-docs\.sh	this check itself
(^|[ /])k57tool( |$)(.*--(help|version))?	opens the window (the GUI)
scripts/run\.sh( |$)(--real)?$	builds and opens the window (the GUI)
(^|[ /])linguist( |$)	opens Qt Linguist (the GUI)
bench/	a benchmark: minutes of a busy machine, run by hand
journal\.workshop\.lan|(^| )(psql|createuser|createdb) 	needs a workshop'"'"'s PostgreSQL server
build/default/tests/	a test program: ctest runs it with the rest
while :; do :; done|^kill %	keeps the processors busy on purpose'

scratch="$(mktemp -d)"
sims=()
trap 'kill "${sims[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$scratch"' EXIT
export QT_QPA_PLATFORM=offscreen K57_BUILD_DIR="$bin" PATH="$bin/ctl:$bin/sim:$bin/app:$PATH"

# Each document starts afresh: its own home, settings (the stored port
# COM5), data folder (an empty journal) and ports folder, with simulated
# units on COM5, COM6 and COM7, and a folder to work in that looks like the
# checkout (every entry a link to it) but keeps what the commands write.
fresh_world() {
    kill "${sims[@]}" 2>/dev/null; wait 2>/dev/null
    sims=()
    local world="$scratch/world"
    rm -rf "$world"
    export HOME="$world/home" XDG_CONFIG_HOME="$world/home/.config" K57_DATA_DIR="$world/data"
    export K57_PORTS_DIR="$world/ports"
    mkdir -p "$XDG_CONFIG_HOME/k57tool" "$K57_DATA_DIR" "$K57_PORTS_DIR" "$world/work/build"
    printf '[General]\nPort=COM5\n' >"$XDG_CONFIG_HOME/k57tool/k57tool.ini"
    for entry in "$repo"/* "$repo"/.ci; do [ "${entry##*/}" = build ] || ln -s "$entry" "$world/work/"; done
    ln -s "$bin" "$world/work/build/default"
    for port in COM5 COM6 COM7; do
        k57sim --port $port >/dev/null 2>&1 &
        sims+=($!)
    done
    for port in COM5 COM6 COM7; do
        for _ in $(seq 100); do [ -e "$K57_PORTS_DIR/$port" ] && break; sleep 0.1; done
        [ -e "$K57_PORTS_DIR/$port" ] || { echo "check-docs.sh: the simulated unit did not start" >&2; exit 2; }
    done
}

skip_reason() {
    local pattern reason
    while IFS=$'\t' read -r pattern reason; do
        if [[ "$1" =~ $pattern ]]; then echo "$reason"; return 0; fi
    done <<<"$skips"
    return 1
}

failed=0 ran=0 skipped=0
# Runs one block's commands ("LINE<TAB>COMMAND" on stdin) in one shell.
run_block() {
    local doc="$1" script="$scratch/block.sh" own_sim=0 line command reason ran_before=$ran
    : >"$script"
    echo 'fail() { echo "$1: exit $2: $3" >&2; echo x >>"$FAILS"; }' >>"$script"
    while IFS=$'\t' read -r line command; do
        if reason="$(skip_reason "${command//$'\037'/ }")"; then
            echo "  skip $doc:$line: ${command%%$'\037'*}  ($reason)"
            skipped=$((skipped + 1))
            continue
        fi
        ran=$((ran + 1))
        [[ "$command" =~ (^|[ /])k57sim\ .*--(port|link) ]] && own_sim=1
        local shown="${command%%$'\037'*}"
        command="${command//$'\037'/$'\n'}"
        if [[ "$command" =~ (^|[ /])k57sim( |$) && ! "$command" =~ \&$ && ! "$command" =~ --(help|version) ]]; then
            # Runs until Ctrl+C: give it 3 s.
            command="timeout -s INT 3 $command; rc=\$?; [ \$rc = 124 ] && rc=0; (exit \$rc)"
        fi
        local expected=0
        [[ "$command" =~ \#\ exit\ code\ ([0-9]+)$ ]] && expected="${BASH_REMATCH[1]}"
        printf '%s\n' "$command" >>"$script"
        if [[ "$command" =~ (^|[ /])k57sim\ .*\&$ ]]; then
            # A person waits for its port to show; so does the check.
            echo 'for _ in $(seq 100); do [ -n "$(ls "$K57_PORTS_DIR")" ] && break; sleep 0.1; done; true' >>"$script"
        fi
        printf 'rc=$?; [ $rc = %s ] || fail %q $rc %q\n' "$expected" "$doc:$line" "$shown" >>"$script"
    done
    echo 'kill $(jobs -p) 2>/dev/null; wait' >>"$script"
    [ $ran = "$ran_before" ] && return  # nothing to run
    [ $world = 1 ] || { fresh_world; world=1; }
    local ports="$K57_PORTS_DIR"
    if [ $own_sim = 1 ]; then ports="$scratch/own-ports"; rm -rf "$ports"; mkdir -p "$ports"; fi
    # A session of its own, so that whatever the block started ends with it.
    (cd "$scratch/world/work" && K57_PORTS_DIR="$ports" FAILS="$scratch/fails" \
        exec setsid bash "$script" </dev/null >"$scratch/block.out" 2>&1) &
    local block=$! tenths=0
    while kill -0 $block 2>/dev/null && [ $tenths -lt 1000 ]; do sleep 0.1; tenths=$((tenths + 1)); done
    if kill -0 $block 2>/dev/null; then
        echo "$doc: a block took more than 100 s" >&2
        echo x >>"$scratch/fails"
    fi
    kill -- -$block 2>/dev/null
    wait $block 2>/dev/null
    grep -h ': exit ' "$scratch/block.out" >&2
}

docs=("$@")
[ ${#docs[@]} = 0 ] && mapfile -t docs < <(ls README.md; find docs/guide docs/dev -name '*.md' | sort)

# Links between the documents, and to their headings, lead somewhere.
python3 - "${docs[@]}" <<'EOF' || echo x >>"$scratch/fails"
import os, re, sys
def text(path):  # without its code blocks
    return re.sub(r"```.*?```", "", open(path, encoding="utf-8").read(), flags=re.S)
def anchor(heading):  # as GitHub makes it
    return re.sub(r"[^\w\- ]", "", heading.strip().lower()).replace(" ", "-")
for doc in sys.argv[1:]:
    for link in re.findall(r"\]\(([^)\s]+)\)", text(doc)):
        if re.match(r"[a-z]+:", link):
            continue
        path, _, heading = link.partition("#")
        target = os.path.normpath(os.path.join(os.path.dirname(doc), path)) if path else doc
        if not os.path.exists(target):
            print(f"{doc}: a link to {link}: no such file", file=sys.stderr)
        elif heading and target.endswith(".md") and heading not in map(
                anchor, re.findall(r"^#+\s+(.*)$", text(target), re.M)):
            print(f"{doc}: a link to {link}: no such heading", file=sys.stderr)
        else:
            continue
        sys.exitcode = 1
sys.exit(getattr(sys, "exitcode", 0))
EOF
for doc in "${docs[@]}"; do
    echo "$doc"
    world=0
    # Blocks as "LINE<TAB>COMMAND" lines, one empty line after each block.
    python3 - "$doc" >"$scratch/blocks" <<'EOF' || exit 2
import subprocess, sys
kind, pending, start = None, "", 0
def complete(text):
    done = subprocess.run(["bash", "-n"], input=text, text=True, capture_output=True)
    return done.returncode == 0 and "here-document" not in done.stderr
for number, line in enumerate(open(sys.argv[1], encoding="utf-8"), 1):
    line = line.rstrip("\n")
    stripped = line.strip()
    if stripped.startswith("```"):
        if kind is None:
            kind = stripped[3:].strip() or "text"
        else:
            if pending: print(f"{start}\t{pending}")
            kind, pending = None, ""
            print()
        continue
    if kind == "console":
        if stripped.startswith("$ "): pending, start, stripped = "", number, stripped[2:]
        elif not pending: continue
    elif kind != "sh" or (not pending and (not stripped or stripped.startswith("#"))):
        continue
    if not pending: start = number
    pending = f"{pending}\n{stripped}" if pending else stripped
    if complete(pending):
        print(f"{start}\t{pending}".replace("\n", "\x1f"))
        pending = ""
EOF
    block=""
    while IFS= read -r entry; do
        if [ -z "$entry" ]; then
            [ -n "$block" ] && run_block "$doc" <<<"${block%$'\n'}"
            block=""
        else
            block+="$entry"$'\n'
        fi
    done <"$scratch/blocks"
done
count=$(cat "$scratch/fails" 2>/dev/null | wc -l)
echo "check-docs.sh: $ran commands run, $skipped skipped, $count failed"
[ "$count" = 0 ]

#!/usr/bin/env bash
# Fails when a source file includes a header from a layer above its own, or
# from another folder on the same level. The order is the first ```layers
# block of docs/architecture.md: one level per line, bottom up, folders on a
# line separated by spaces; a folder named with its parent (device/port)
# is a layer of its own inside it. Headers are included by their name alone,
# so a header's name must be unique among the layers.
# Usage: scripts/check-layers.sh [ROOT]   (ROOT: the project's folder)
set -euo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root"

declare -A level  # folder -> its line in the order
declare -A owner  # header name -> the folder that holds it
folders=()
n=0
while IFS= read -r line; do
    n=$((n + 1))
    for folder in $line; do
        level[$folder]=$n
        folders+=("$folder")
    done
done < <(awk '/^```layers/ { on = 1; next } on && /^```/ { exit } on && NF' docs/architecture.md)
if [ ${#folders[@]} -eq 0 ]; then
    echo "docs/architecture.md has no \`\`\`layers block" >&2
    exit 2
fi

# The folder a file belongs to: the longest listed folder holding it.
folder_of() {
    local path=$1 best="" f
    for f in "${folders[@]}"; do
        if [[ $path == "$f"/* && ${#f} -gt ${#best} ]]; then best=$f; fi
    done
    printf '%s' "$best"
}

status=0
for f in "${folders[@]}"; do
    [ -d "$f" ] || { echo "$f: in the order but not a folder" >&2; status=1; continue; }
    while IFS= read -r header; do
        [ "$(folder_of "$header")" = "$f" ] || continue
        name=${header##*/}
        if [ -n "${owner[$name]:-}" ]; then
            echo "$header: the name is taken by ${owner[$name]}/$name as well" >&2
            status=1
        fi
        owner[$name]=$f
    done < <(find "$f" -name '*.h' -o -name '*.h.in' | sed 's/\.in$//')
done
# Headers the build makes: the main window's form.
owner[ui_MainForm.h]=app

checked=0
for f in "${folders[@]}"; do
    while IFS= read -r file; do
        [ "$(folder_of "$file")" = "$f" ] || continue
        checked=$((checked + 1))
        while IFS=: read -r lineno header; do
            to=${owner[${header##*/}]:-}
            [ -n "$to" ] && [ "$to" != "$f" ] || continue
            if [ "${level[$to]}" -ge "${level[$f]}" ]; then
                if [ "${level[$to]}" -eq "${level[$f]}" ]; then where="beside"; else where="above"; fi
                echo "$file:$lineno: includes $header from $to, $where $f" >&2
                status=1
            fi
        done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
                 sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
    done < <(find "$f" -name '*.cpp' -o -name '*.h' -o -name '*.in')
done
[ $status -eq 0 ] && echo "layers: $checked files, every include points down"
exit $status

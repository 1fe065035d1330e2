#!/bin/sh
# The layer check on a small tree of its own: a clean tree passes, and an
# include upward, one across a level and a header name used twice each fail
# with the file and line named.
set -eu
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/docs" "$tree/low" "$tree/mid/sub" "$tree/side" "$tree/top"
cat > "$tree/docs/architecture.md" <<'MD'
# Layers
```layers
low
mid/sub
mid side
top
```
MD
echo '#pragma once' > "$tree/low/Low.h"
echo '#pragma once' > "$tree/mid/sub/Sub.h"
printf '#include "Low.h"\n#include "Sub.h"\n' > "$tree/mid/Mid.h"
echo '#pragma once' > "$tree/side/Side.h"
printf '#include "Mid.h"\n#include "Side.h"\n#include <vector>\n' > "$tree/top/Top.cpp"

fail() { echo "FAIL: $*"; exit 1; }
"$check" "$tree" >/dev/null 2>&1 || fail "a clean tree was refused"

# Each fault alone, then back to the clean tree.
expect() {  # file line-to-add expected-message
    cp "$tree/$1" "$tree/$1.orig"
    printf '%s\n' "$2" >> "$tree/$1"
    if out=$("$check" "$tree" 2>&1); then fail "$1 with '$2' passed"; fi
    echo "$out" | grep -qF "$3" || fail "expected '$3', got: $out"
    mv "$tree/$1.orig" "$tree/$1"
}
expect low/Low.h '#include "Mid.h"' 'low/Low.h:2: includes Mid.h from mid, above low'
expect mid/sub/Sub.h '#include "Mid.h"' 'mid/sub/Sub.h:2: includes Mid.h from mid, above mid/sub'
expect side/Side.h '  #  include "Mid.h"  // spaced' 'side/Side.h:2: includes Mid.h from mid, beside side'

echo '#pragma once' > "$tree/top/Low.h"
if out=$("$check" "$tree" 2>&1); then fail "a header name used twice passed"; fi
echo "$out" | grep -qF "the name is taken" || fail "expected the name clash, got: $out"
echo "layer check: every fault found"

#!/usr/bin/env bash
# Brings the translations (translations/*.ts) up to date with the sources,
# as `cmake --build build/default --target update_translations` does, and
# fails when a text has no translation yet (lupdate marks it unfinished) or
# the file changed: a text that is gone from the sources, or one that came
# and was not committed with its translation.
# Usage: scripts/check-translations.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
before=$(mktemp -d)
trap 'rm -rf "$before"' EXIT
cp translations/*.ts "$before/"
cmake --build --preset default --target update_translations >/dev/null
status=0
for ts in translations/*.ts; do
    unfinished=$(grep -c 'type="unfinished"' "$ts" || true)
    if [ "$unfinished" -gt 0 ]; then
        echo "$ts: $unfinished text(s) without a translation:" >&2
        grep -B2 'type="unfinished"' "$ts" | grep '<source>' | sed 's/^ */  /' >&2
        status=1
    fi
    if ! cmp -s "$ts" "$before/$(basename "$ts")"; then
        echo "$ts was not up to date with the sources (now it is; review and commit it):" >&2
        diff "$before/$(basename "$ts")" "$ts" | head -40 >&2 || true
        status=1
    fi
done
[ $status -eq 0 ] && echo "translations: every text translated, none obsolete"
exit $status

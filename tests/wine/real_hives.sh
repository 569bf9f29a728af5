#!/usr/bin/env bash
# The extension and deep-analysis scans on real user hives (fixtures/REAL-HIVES.md) in a prefix of
# their own, made afresh: the per-user classes hive, placed where Wine's HKEY_CLASSES_ROOT shows
# it, adds no extension that names its handlers to the findings; the user hive, once every path
# its values mean exists, adds no missing path. What the prefix itself reports before the import
# is left out of both comparisons.
set -euo pipefail
repo="$(cd "$(dirname "$0")/../.." && pwd)"
export KELTORA_WINEPREFIX="$repo/build/wine/real-hives"
WINE_RUN="$KELTORA_WINE_RUN"
source "$repo/tools/lib/seed.sh"
cli="$KELTORA_BIN/keltora-cli.exe"

rm -rf "$KELTORA_WINEPREFIX"
trap '"$WINE_RUN" --stop >/dev/null 2>&1 || true' EXIT
"$WINE_RUN" --start

# The findings of a printed list without its two header lines, sorted.
findings() { win "$cli" scan "$1" | tail -n +3 | sort; }
added() { comm -13 <(printf '%s\n' "$1") <(printf '%s\n' "$2"); }

before_fe=$(findings fe)
before_da=$(findings da)
reg_import "$KELTORA_FIXTURES/usrclass-extensions.reg"
reg_import "$KELTORA_FIXTURES/ntuser-win7-software.reg"

# Every meant path made through Wine, so that names meet the prefix's folders without regard to
# case; one batch file does it in one process.
mkdir -p "$KELTORA_SCRATCH"
batch="$KELTORA_SCRATCH/make-paths.cmd"
grep -v '^#' "$KELTORA_FIXTURES/ntuser-win7-software.paths" | while IFS= read -r path; do
  [ -n "$path" ] || continue
  if [[ "$path" == *\\ ]]; then
    printf 'mkdir "%s" 2>nul\r\n' "${path%\\}"
  else
    printf 'mkdir "%s" 2>nul\r\nif not exist "%s" type nul > "%s"\r\n' "${path%\\*}" "$path" "$path"
  fi
done >"$batch"
"$WINE_RUN" cmd /c "$(win_path -w "$batch")" >/dev/null 2>&1 || true

tab=$'\t'
new_fe=$(added "$before_fe" "$(findings fe)")
expect_eq "$(cut -f2 <<<"$new_fe")" ".pano" \
  "scan fe: of the hive's extension keys only .pano names no handler"
echo "real hives, scan fe: ok (the hive adds $(grep -c . <<<"$new_fe") finding)"

new_da=$(added "$before_da" "$(findings da)")
expect_eq "$new_da" "" "scan da: the hive's values whose paths all exist"
echo "real hives, scan da: ok (no missing path among the hive's values)"

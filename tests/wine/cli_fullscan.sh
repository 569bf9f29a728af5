#!/usr/bin/env bash
# The summary page's two commands on a prefix with clutter in every category: the full scan
# counts it row by row, and a repair with a backup leaves a backup file and a registry and drive
# in which a new full scan finds nothing in the rows it repaired.
set -euo pipefail
WINE_RUN="$KELTORA_WINE_RUN"
source "$(dirname "$0")/../../tools/lib/seed.sh"
cli="$KELTORA_BIN/keltora-cli.exe"

seed_full_clutter "$KELTORA_FIXTURES"
# Entries set aside by earlier runs would hide seeded ones, and files moved aside earlier would
# rightly keep a seeded file of the same name from moving.
rm -rf "$(program_files_unix)/Keltora Pro" "$(program_files_unix)/Keltora Professional/startbug"
backups="$(program_files_unix)/Keltora Professional/Backups"
before=$(ls "$backups" 2>/dev/null | wc -l)

count() { awk -F'\t' -v caption="$2" '$2 == caption { print $3; exit }' <<<"$1"; }
rows=(1 2 3 4 8 9 10 12 14 15 16 17 18 19)
captions=("Running While Startup" "Uninstaller Bugs" "Unused Extensions" "Missing ActiveX and DLLs"
          "Type URLs" "Run (Start Menu)" "Recent Documents" "Temporary Files" "Memory Dumps"
          "Chkdsk Files" "Log Files" "Cookies" "History" "Temporary IE")
list=$(IFS=,; echo "${rows[*]}")

out=$(win "$cli" fullscan --rows "$list")
head -n 1 <<<"$out" | grep -qx '== all lvall 28' || fail "fullscan: no summary list"
for caption in "${captions[@]}"; do
  n=$(count "$out" "$caption")
  [ "${n:-0}" -ge 1 ] || fail "fullscan: row '$caption' counts ${n:-nothing}, the seeded clutter calls for 1 or more"
done
[ "$(count "$out" "Running While Startup")" = 8 ] || fail "fullscan: startup programs count $(count "$out" "Running While Startup"), not 8"
grep -qE '^[0-9]+ Errors found$' <<<"$out" || fail "fullscan: no error total"
echo "fullscan: ok"

win "$cli" repair --rows "$list" --backup >/dev/null || fail "repair: exit $?"
after=$(ls "$backups" | wc -l)
[ "$after" -gt "$before" ] || fail "repair: no backup file was left"

out=$(win "$cli" fullscan --rows "$list")
for caption in "${captions[@]}"; do
  [ "$(count "$out" "$caption")" = 0 ] || fail "after repair: row '$caption' still counts $(count "$out" "$caption")"
done
echo "repair: ok"

#!/usr/bin/env bash
# Registry backups through the prefix's own registry editor: a backup is a real export of the
# whole registry, a restore brings a changed value back, and a deleted backup is gone.
set -euo pipefail
WINE_RUN="$KELTORA_WINE_RUN"
source "$(dirname "$0")/../../tools/lib/seed.sh"
cli="$KELTORA_BIN/keltora-cli.exe"

probe='HKCU\Software\KeltoraBackupProbe'
"$WINE_RUN" reg add "$probe" /v state /d before /f >/dev/null

out=$(win "$cli" backup)
name=$(sed -n 3p <<<"$out" | cut -f2)
[[ "$name" =~ ^Backup_[0-9]+-[0-9]+-[0-9]+_[0-9]+-[0-9]+-[0-9]{4}\.reg$ ]] || fail "backup: unexpected output: $out"
file="$(program_files_unix)/Keltora Professional/Backups/$name"
[ -s "$file" ] || fail "backup: $file is missing or empty"
# A whole-registry export names the user's hive by its SID, below HKEY_USERS.
iconv -f UTF-16LE -t UTF-8 "$file" 2>/dev/null | tr -d '\r' | grep -E '^\[HKEY_USERS\\[^\\]+\\Software\\KeltoraBackupProbe\]$' >/dev/null \
  || fail "backup: the export does not hold the probe key"
echo "backup: ok ($(stat -c %s "$file") bytes)"

win "$cli" backups | grep -q $'\t'"$name"$'\t' || fail "backups: $name is not listed"

"$WINE_RUN" reg add "$probe" /v state /d after /f >/dev/null
win "$cli" restore "$name" >/dev/null || fail "restore: exit $?"
[ "$(reg_value "$probe" state)" = before ] || fail "restore: the value is $(reg_value "$probe" state), not before"
echo "restore: ok"

win "$cli" delete "$name" >/dev/null
[ ! -e "$file" ] || fail "delete: $file is still there"
set +e
win "$cli" restore "$name" >/dev/null 2>&1; rc=$?
set -e
[ "$rc" = 2 ] || fail "restore of a deleted backup: exit $rc, not 2"
echo "delete: ok"
reg_delete_key "$probe"

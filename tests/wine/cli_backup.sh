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

win "$cli" backups | grep $'\t'"$name"$'\t' >/dev/null || fail "backups: $name is not listed"

"$WINE_RUN" reg add "$probe" /v state /d after /f >/dev/null
win "$cli" restore "${name%.reg}" >/dev/null || fail "restore: exit $?"
[ "$(reg_value "$probe" state)" = before ] || fail "restore: the value is $(reg_value "$probe" state), not before"
echo "restore: ok"

win "$cli" delete "$name" >/dev/null
[ ! -e "$file" ] || fail "delete: $file is still there"
set +e
win "$cli" restore "$name" >/dev/null 2>&1; rc=$?
set -e
[ "$rc" = 1 ] || fail "restore of a deleted backup: exit $rc, not 1"
echo "delete: ok"

# The registry editor is the Windows folder's: a regedit.exe in the current folder (here the
# console itself, which would fail the export) is never started.
mkdir -p "$KELTORA_SCRATCH/cwd"
cp "$cli" "$KELTORA_SCRATCH/cwd/regedit.exe"
out=$(cd "$KELTORA_SCRATCH/cwd" && win "$cli" backup) || fail "backup beside a regedit.exe: exit $?"
name=$(sed -n 3p <<<"$out" | cut -f2)
[ -s "$(program_files_unix)/Keltora Professional/Backups/$name" ] || fail "backup beside a regedit.exe: no export"
echo "editor by its full path: ok"

# Two backups asked for at the same moment each get a file of their own, or one fails (4).
for run in a b; do (win "$cli" backup >"$KELTORA_SCRATCH/$run.out" 2>/dev/null; echo $? >"$KELTORA_SCRATCH/$run.rc") & done
wait
rc_a=$(cat "$KELTORA_SCRATCH/a.rc") rc_b=$(cat "$KELTORA_SCRATCH/b.rc")
name_a=$(sed -n 3p "$KELTORA_SCRATCH/a.out" | cut -f2) name_b=$(sed -n 3p "$KELTORA_SCRATCH/b.out" | cut -f2)
if [ "$rc_a" = 0 ] && [ "$rc_b" = 0 ]; then
  [ "$name_a" != "$name_b" ] || fail "two backups at once both report $name_a"
else
  [[ "$rc_a$rc_b" =~ ^(04|40)$ ]] || fail "two backups at once: exits $rc_a and $rc_b"
fi
echo "two backups at once: ok ($rc_a $name_a, $rc_b $name_b)"
backups="$(program_files_unix)/Keltora Professional/Backups"
rm -f "$backups/$name" "$backups/$name_a" "$backups/$name_b"

# A file that is no registry export is refused (exit 1) and changes nothing.
printf 'not an export\r\n[HKEY_CURRENT_USER\\Software\\KeltoraBackupProbe]\r\n"state"="forged"\r\n' \
  >"$backups/Backup_1-1-1_1-1-2026.reg"
"$WINE_RUN" reg add "$probe" /v state /d kept /f >/dev/null
set +e
win "$cli" restore Backup_1-1-1_1-1-2026.reg >/dev/null 2>&1; rc=$?
set -e
[ "$rc" = 1 ] || fail "restore of a file that is no export: exit $rc, not 1"
[ "$(reg_value "$probe" state)" = kept ] || fail "restore of a file that is no export changed the registry"
echo "restore of no export: ok"

# A backup that cannot be deleted (read-only) keeps its row and exits 1.
"$WINE_RUN" attrib +r 'C:\Program Files\Keltora Professional\Backups\Backup_1-1-1_1-1-2026.reg' >/dev/null
set +e
win "$cli" delete Backup_1-1-1_1-1-2026.reg >/dev/null 2>&1; rc=$?
set -e
"$WINE_RUN" attrib -r 'C:\Program Files\Keltora Professional\Backups\Backup_1-1-1_1-1-2026.reg' >/dev/null
[ "$rc" = 1 ] || fail "delete of a read-only backup: exit $rc, not 1"
win "$cli" backups | grep $'\tBackup_1-1-1_1-1-2026.reg\t' >/dev/null || fail "a backup that was not deleted lost its row"
rm -f "$backups/Backup_1-1-1_1-1-2026.reg"
echo "delete that fails: ok"
# A backup that is a link to a .reg file elsewhere (Wine lists a Unix link to a file as that
# file): the delete follows no link, leaves both, keeps the row and says why (exit 1).
elsewhere="$KELTORA_SCRATCH/elsewhere.reg"
mkdir -p "$KELTORA_SCRATCH"
printf 'Windows Registry Editor Version 5.00\r\n' >"$elsewhere"
ln -sfn "$elsewhere" "$backups/Backup_2-2-2_2-2-2026.reg"
set +e
win "$cli" delete Backup_2-2-2_2-2-2026.reg >/dev/null 2>"$KELTORA_SCRATCH.err"; rc=$?
set -e
[ -e "$elsewhere" ] || fail "delete of a backup that is a link deleted the file it leads to"
[ -L "$backups/Backup_2-2-2_2-2-2026.reg" ] || fail "delete of a backup that is a link deleted the link"
[ "$rc" = 1 ] || fail "delete of a backup that is a link: exit $rc, not 1"
grep -q 'is left as it is' "$KELTORA_SCRATCH.err" || fail "delete of a backup that is a link: $(cat "$KELTORA_SCRATCH.err")"
rm -f "$backups/Backup_2-2-2_2-2-2026.reg" "$elsewhere"
echo "delete of a backup that is a link: ok"
reg_delete_key "$probe"

#!/usr/bin/env bash
# The installer as a user runs it, in a prefix made fresh for this test: a silent install puts
# the three programs, the shortcut, a complete Uninstall entry and the scheduled task in place;
# the installed console does not list the program's own entry; the quiet uninstall string has
# removed all of it, the Run value with it, by the time its process ends, and keeps the user's
# backups; the plain uninstall string does the same from its copy in the temporary folder and
# leaves another copy's Run value alone. Outside the 64-bit Program Files it installs nothing.
# The portable zip holds the programs and the README in a folder of its own.
set -euo pipefail
export KELTORA_WINEPREFIX="$KELTORA_SCRATCH/prefix"
WINE_RUN="$KELTORA_WINE_RUN"
source "$(dirname "$0")/../../tools/lib/seed.sh"

# Everything in one folder of its own, nothing beside it.
zipped=$(unzip -Z1 "${KELTORA_SETUP%-setup.exe}-portable.zip")
for name in keltora.exe keltora-cli.exe autostart.exe README.txt LICENCE.txt; do
  grep -qx "Keltora Professional [0-9.]*/$name" <<<"$zipped" || fail "portable zip: no Keltora Professional */$name: $zipped"
done
[ "$(grep -cv '^Keltora Professional [0-9.]*/' <<<"$zipped")" = 0 ] || fail "portable zip: files outside its folder: $zipped"
echo "portable zip: ok"

# A new prefix, restarted once as Windows is after its set-up: in a Wine prefix's first session
# the Task Scheduler service never gets past its start.
"$WINE_RUN" --stop
rm -rf "$KELTORA_WINEPREFIX"
trap '"$WINE_RUN" --stop' EXIT
mkdir -p "$KELTORA_SCRATCH"
"$WINE_RUN" --start
"$WINE_RUN" --stop

uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
entry="$uninstall_key\\Keltora Professional"
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
folder_win='C:\Program Files\Keltora Professional'
folder=$(win_path -u "$folder_win")
shortcut=$(win_path -u 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Keltora Professional.lnk')
task=$(win_path -u 'C:\windows\system32\tasks\Keltora Professional')
programs=(keltora.exe keltora-cli.exe autostart.exe README.txt LICENCE.txt uninstall.exe)

# Windows always runs Task Scheduler; Wine starts it when asked.
for attempt in $(seq 5); do
  out=$(win net start schedule 2>&1 || true)
  grep -qE 'started successfully|already running' <<<"$out" && break
  [ "$attempt" = 5 ] && fail "Task Scheduler did not start: $out"
  sleep 1
done

install() {
  "$WINE_RUN" "$KELTORA_SETUP" /S || fail "setup.exe /S: exit $?"
  for name in "${programs[@]}"; do [ -f "$folder/$name" ] || fail "install: no $name"; done
  [ -f "$shortcut" ] || fail "install: no Start-menu shortcut"
  [ -f "$task" ] || fail "install: no scheduled task"
}

# A script runs an uninstall string as it stands, through the command processor.
run_line() {
  printf '@%s\r\n' "$1" >"$KELTORA_SCRATCH/uninstall.bat"
  "$WINE_RUN" cmd /c "$(win_path -w "$KELTORA_SCRATCH/uninstall.bat")"
}

expect_removed() {
  for name in "${programs[@]:0:5}"; do [ ! -e "$folder/$name" ] || fail "$1: $name is still there"; done
  [ ! -e "$shortcut" ] || fail "$1: the shortcut is still there"
  [ ! -e "$task" ] || fail "$1: the scheduled task is still there"
  ! "$WINE_RUN" reg query "$entry" >/dev/null 2>&1 || fail "$1: the Uninstall entry is still there"
  [ -f "$folder/Backups/Backup_1-2-3_4-5-2026.reg" ] || fail "$1: the user's backup is gone"
}

install
for value in DisplayName DisplayVersion Publisher DisplayIcon InstallLocation UninstallString \
             QuietUninstallString EstimatedSize NoModify NoRepair; do
  [ -n "$(reg_value "$entry" "$value")" ] || fail "Uninstall entry: no $value"
done
expect_eq "$(reg_value "$entry" DisplayName)|$(reg_value "$entry" DisplayVersion)|$(reg_value "$entry" InstallLocation)" \
  "Keltora Professional|3.55|$folder_win" "Uninstall entry: name, version, folder"
expect_eq "$(reg_value "$entry" NoModify)|$(reg_value "$entry" NoRepair)" "0x1|0x1" "Uninstall entry: NoModify, NoRepair"
! "$WINE_RUN" reg query 'HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Keltora Professional' \
  >/dev/null 2>&1 || fail "Uninstall entry: written to the 32-bit view"
echo "install: ok"

# The console's uninstall scan lists an entry without registration values, never its own.
"$WINE_RUN" reg add "$uninstall_key\\Dead App" /v Comments /d leftover /f >/dev/null
out=$(win "$folder/keltora-cli.exe" scan ue)
grep -q $'\tDead App\t' <<<"$out" || fail "scan ue: the dead entry is not listed: $out"
! grep -q 'Keltora Professional' <<<"$out" || fail "scan ue: lists the program's own entry: $out"
out=$(win "$folder/keltora-cli.exe" fullscan --rows 2)
grep -q $'\tUninstaller Bugs\t1\t' <<<"$out" || fail "fullscan: the uninstall row does not count 1: $out"
# The installed console's JSON full scan parses, and its uninstall list holds the dead entry only.
win "$folder/keltora-cli.exe" --json fullscan --rows 2 >"$KELTORA_SCRATCH.json"
/usr/bin/python3 - "$KELTORA_SCRATCH.json" <<'PY' || fail "fullscan --json: $(cat "$KELTORA_SCRATCH.json")"
import json, sys
doc = json.load(open(sys.argv[1], encoding="utf-8"))
ue = [l for l in doc["lists"] if l["code"] == "ue"][0]
captions = [f["caption"] for f in ue["findings"]]
assert doc["status"] == 0 and "Dead App" in captions and "Keltora Professional" not in captions, captions
PY
echo "installed console: ok"

# autostart.exe asks Task Scheduler only for a task that starts its own keltora.exe (under Wine
# the registered task has lost its program), so it starts keltora.exe itself. While that runs,
# the uninstaller refuses with status 5 and changes nothing.
"$WINE_RUN" reg add 'HKCU\Software\KeltoraPro' /v autoscan /d 0 /f >/dev/null
"$WINE_RUN" "$folder/autostart.exe" || fail "autostart.exe: exit $?"
# The keltora.exe of this test's prefix, not of any other.
running() {
  local proc
  for proc in /proc/[0-9]*; do
    [ "$(cat "$proc/comm" 2>/dev/null)" = keltora.exe ] || continue
    { tr '\0' '\n' <"$proc/environ"; } 2>/dev/null | grep -xF "WINEPREFIX=$KELTORA_WINEPREFIX" >/dev/null && echo "${proc#/proc/}"
  done
  return 0
}
for attempt in $(seq 60); do pid=$(running); [ -n "$pid" ] && break; sleep 0.5; done
[ -n "$pid" ] || fail "autostart.exe did not start keltora.exe"
rc=0; run_line "$(reg_value "$entry" QuietUninstallString)" || rc=$?
[ "$rc" = 5 ] || fail "uninstall while the program runs: exit $rc, not 5"
[ -f "$folder/keltora.exe" ] && "$WINE_RUN" reg query "$entry" >/dev/null 2>&1 || fail "uninstall while the program runs: it removed something"
kill $pid
for attempt in $(seq 60); do [ -z "$(running)" ] && break; sleep 0.5; done
echo "autostart, refusal while running: ok"

# The quiet uninstall string waits: when its process has ended, everything is gone.
mkdir -p "$folder/Backups"
echo backup >"$folder/Backups/Backup_1-2-3_4-5-2026.reg"
"$WINE_RUN" reg add "$run_key" /v KeltoraPro /d "\"$folder_win\\autostart.exe\"" /f >/dev/null
run_line "$(reg_value "$entry" QuietUninstallString)"
expect_removed "quiet uninstall"
! reg_has_value "$run_key" KeltoraPro || fail "quiet uninstall: the Run value is still there"
# Running in place, the uninstaller cannot delete its own file: Windows does at the next restart.
pending=$(reg_value 'HKLM\System\CurrentControlSet\Control\Session Manager' PendingFileRenameOperations)
[ ! -e "$folder/uninstall.exe" ] || grep -qF "$folder_win\\uninstall.exe" <<<"$pending" ||
  fail "quiet uninstall: uninstall.exe is left for good"
echo "quiet uninstall: ok"

# The plain string with /S returns at once and works on from a copy: wait for that copy's end.
install
"$WINE_RUN" reg add "$run_key" /v KeltoraPro /d 'D:\Portable\autostart.exe' /f >/dev/null
run_line "$(reg_value "$entry" UninstallString) /S"
for attempt in $(seq 120); do
  [ -e "$folder/uninstall.exe" ] || "$WINE_RUN" reg query "$entry" >/dev/null 2>&1 || break
  sleep 0.5
done
expect_removed "uninstall /S"
[ ! -e "$folder/uninstall.exe" ] || fail "uninstall /S: uninstall.exe is still there"
expect_eq "$(reg_value "$run_key" KeltoraPro)" 'D:\Portable\autostart.exe' "uninstall /S: another copy's Run value"
echo "uninstall /S: ok"

# Outside the 64-bit Program Files (/D=, unquoted as NSIS takes it, so through the command
# processor), the installer refuses with status 2, says why on the console of a silent run, and
# installs nothing: not where a user could write, not through "..", not in the 32-bit folder, not
# Program Files itself.
setup_win=$(win_path -w "$KELTORA_SETUP")
for elsewhere in 'C:\Tools\Keltora' 'C:\Program Files\..\Tools\Keltora' 'C:\Program Files (x86)\Keltora' \
                 'C:\Program Files'; do
  rc=0
  out=$(run_line "\"$setup_win\" /S /D=$elsewhere" 2>&1) || rc=$?
  [ "$rc" = 2 ] || fail "setup.exe /S /D=$elsewhere: exit $rc, not 2: $out"
  grep -qF "installs only into a folder below C:\Program Files," <<<"$out" || fail "setup.exe /S /D=$elsewhere: no word why: $out"
  ! "$WINE_RUN" reg query "$entry" >/dev/null 2>&1 || fail "setup.exe /S /D=$elsewhere: an Uninstall entry"
  [ ! -e "$(win_path -u 'C:\Tools\Keltora')" ] || fail "setup.exe /S /D=$elsewhere: C:\Tools\Keltora made"
  [ ! -e "$task" ] || fail "setup.exe /S /D=$elsewhere: a scheduled task"
done
echo "install elsewhere refused: ok"

# The prefix is kept only when a check failed, to look into.
trap - EXIT
"$WINE_RUN" --stop
rm -rf "$KELTORA_WINEPREFIX"

#!/usr/bin/env bash
# keltora-cli against the real registry and Startup folder of a Wine prefix: what the startup
# scan lists, what its removal deletes and moves, and that an ignored entry stays hidden in the
# next process.
set -euo pipefail
WINE_RUN="$KELTORA_WINE_RUN"
source "$(dirname "$0")/../../tools/lib/seed.sh"
cli="$KELTORA_BIN/keltora-cli.exe"

# A clean start: the fixture's Run values, one file and one folder in the Startup folder, and
# no ignore file or moved file left from an earlier run.
startup=$(seed_startup_clutter "$KELTORA_FIXTURES")
startup_win=$(reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' Startup)
keltora="$(program_files_unix)/Keltora Professional"
rm -rf "$keltora/startbug" "$(program_files_unix)/Keltora Pro"

hkcu='HKCU\Software\Microsoft\Windows\CurrentVersion'
hklm='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion'
row() { printf '%s\t%s\tRarely Used(Remove)\t%s\t%s' "$1" "$2" "$3" "$4"; }
header=$'Error Items\tRepair Report\tDetail Info\tRegistry Location'

# Run values in the registry's listing order (Wine lists a key's values by name), then the
# folder, whose order is the file system's: compare that part as a set.
out=$(win "$cli" scan sp)
expected=$(printf '%s\n' "== sp lvsp 8" "$header" \
  "$(row x '..\..\x.txt' 'C:\x.exe' "$hkcu\\Run")" \
  "$(row x LongCommand '' "$hkcu\\Run")" \
  "$(row x Updater 'C:\Program Files\Updater\update.exe /silent' "$hkcu\\Run")" \
  "$(row x FinishSetup 'C:\setup\finish.exe /quiet' "$hkcu\\RunOnce")" \
  "$(row x KeltoraPro machine.exe "$hklm\\Run")" \
  "$(row x TrayHelper 'C:\Program Files\Tray\tray.exe' "$hklm\\Run")")
expect_eq "$(head -n 8 <<<"$out")" "$expected" "scan sp: Run values"
folder_rows=$(tail -n +9 <<<"$out" | sort)
expected_folder=$(printf '%s\n' "$(row x Tools Tools "$startup_win")" "$(row x notes.lnk notes.lnk "$startup_win")" | sort)
expect_eq "$folder_rows" "$expected_folder" "scan sp: Startup folder"
echo "scan sp: ok"

# Rows 2 (Updater) and 6 (one folder entry) stay; every other value is deleted and the
# other folder entry is moved aside.
kept_folder=$(tail -n +9 <<<"$out" | head -n 1 | cut -f2)
out=$(win "$cli" remove sp --uncheck 2,6)
expected=$(printf '%s\n' "== sp lvsp 2" "$header" \
  "$(row - Updater 'C:\Program Files\Updater\update.exe /silent' "$hkcu\\Run")" \
  "$(row - "$kept_folder" "$kept_folder" "$startup_win")")
expect_eq "$out" "$expected" "remove sp: what is left"
reg_has_value "$hkcu\\Run" Updater || fail "unchecked Updater was deleted"
reg_has_value "$hkcu\\Run" KeltoraPro || fail "the program's own Run value was touched"
for gone in "$hkcu\\Run|..\..\x.txt" "$hkcu\\Run|LongCommand" "$hkcu\\RunOnce|FinishSetup" \
            "$hklm\\Run|TrayHelper" "$hklm\\Run|KeltoraPro"; do
  ! reg_has_value "${gone%%|*}" "${gone#*|}" || fail "value ${gone#*|} is still in ${gone%%|*}"
done
moved=$([ "$kept_folder" = Tools ] && echo notes.lnk || echo Tools)
[ -e "$startup/$kept_folder" ] || fail "unchecked $kept_folder left the Startup folder"
[ ! -e "$startup/$moved" ] || fail "$moved is still in the Startup folder"
[ -e "$keltora/startbug/$moved" ] || fail "$moved did not reach startbug"
echo "remove sp: ok"

# Ignore row 0, Updater now; a new process does not list it again.
win "$cli" ignore sp 0 >/dev/null
out=$(win "$cli" scan sp)
grep -q $'\tUpdater\t' <<<"$out" && fail "ignored Updater is listed again"
head -n 1 <<<"$out" | grep -qx '== sp lvsp 1' || fail "ignore sp: expected one finding left, got: $(head -n 1 <<<"$out")"
grep -qx 'Updater=HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run' \
  <(tr -d '\r' <"$(program_files_unix)/Keltora Pro/Datasp.dat") || fail "Datasp.dat does not hold the entry"
echo "ignore sp: ok"

# An ignore file that is a link to a file elsewhere is never written through: the command says
# so and what the link leads to stays as it was.
ignore_file="$(program_files_unix)/Keltora Pro/Datasp.dat"
mkdir -p "$(dirname "$KELTORA_SCRATCH")"
cp "$ignore_file" "$KELTORA_SCRATCH-ignore.dat"
rm -f "$ignore_file"
ln -s "$KELTORA_SCRATCH-ignore.dat" "$ignore_file"
before=$(cat "$KELTORA_SCRATCH-ignore.dat")
set +e
win "$cli" ignore sp 0 >/dev/null 2>"$KELTORA_SCRATCH.err"; rc=$?
set -e
[ "$(cat "$KELTORA_SCRATCH-ignore.dat")" = "$before" ] || fail "ignore sp wrote through a linked ignore file"
[ "$rc" != 0 ] && grep -q 'is a link' "$KELTORA_SCRATCH.err" || fail "ignore sp with a linked ignore file: exit $rc, $(cat "$KELTORA_SCRATCH.err")"
rm -f "$ignore_file"
mv "$KELTORA_SCRATCH-ignore.dat" "$ignore_file"
echo "linked ignore file: ok (exit $rc)"

# Usage errors exit 2 with one line.
mkdir -p "$(dirname "$KELTORA_SCRATCH")"
set +e
win "$cli" scan nosuch >/dev/null 2>"$KELTORA_SCRATCH.err"; rc=$?
set -e
[ "$rc" = 2 ] || fail "unknown category: exit $rc, not 2"
echo "usage errors: ok"

# Rows of a listing that changed since it was printed change nothing (exit 1).
rm -rf "$(program_files_unix)/Keltora Pro"
win "$cli" scan sp >/dev/null
"$WINE_RUN" reg add "$hkcu\\Run" /v Appeared /d 'C:\appeared.exe' /f >/dev/null
before=$(win reg query "$hkcu\\Run")
set +e
win "$cli" remove sp --uncheck 0 >/dev/null 2>&1; rc=$?
set -e
[ "$rc" = 1 ] || fail "rows of an outdated listing: exit $rc, not 1"
expect_eq "$(win reg query "$hkcu\\Run")" "$before" "rows of an outdated listing changed the Run key"
echo "outdated listing: ok"

# A value name with CR LF inside is one line of the listing and one ignored entry: after a
# restart it hides nothing else (here Updater, which it would forge). An ignore file ending in
# an empty line still takes it.
hostile=$(printf 'x\r\nUpdater=HKCU')
"$WINE_RUN" reg add "$hkcu\\Run" /v "$hostile" /d 'C:\x.exe' /f >/dev/null
mkdir -p "$(program_files_unix)/Keltora Pro"
printf 'Old=HKCU\r\n\r\n' >"$(program_files_unix)/Keltora Pro/Datasp.dat"
row=$(win "$cli" scan sp | tail -n +3 | awk -F'\t' '$2 == "x\\x0D\\x0AUpdater=HKCU" { print NR - 1 }')
[ -n "$row" ] || fail "the CR LF name is not one line of the listing"
win "$cli" ignore sp "$row" >/dev/null || fail "ignore of the CR LF name: exit $?"
out=$(win "$cli" scan sp)
grep -q $'\tUpdater\t' <<<"$out" || fail "the ignored CR LF name hides Updater"
grep -q 'x\\x0D\\x0AUpdater=HKCU' <<<"$out" && fail "the ignored CR LF name is listed again"
"$WINE_RUN" reg delete "$hkcu\\Run" /v "$hostile" /f >/dev/null
"$WINE_RUN" reg delete "$hkcu\\Run" /v Appeared /f >/dev/null
echo "hostile ignored name: ok"

# The Run entry names autostart.exe in double quotes; an unquoted one of an earlier version is
# rewritten at start.
"$WINE_RUN" reg add 'HKCU\Software\KeltoraPro' /v loadwithwin /d 1 /f >/dev/null
"$WINE_RUN" reg add "$hkcu\\Run" /v KeltoraPro /d 'C:\Program Files\Keltora Professional\autostart.exe' /f >/dev/null
win "$cli" categories >/dev/null
entry=$(reg_value "$hkcu\\Run" KeltoraPro)
[[ "$entry" == \"*'\autostart.exe"' ]] || fail "the Run entry is not quoted: $entry"
"$WINE_RUN" reg delete 'HKCU\Software\KeltoraPro' /v loadwithwin /f >/dev/null
echo "quoted Run entry: ok"

#!/usr/bin/env bash
# keltora-cli repair and undo against the real registry and Startup folder of a Wine prefix:
# fixtures/undo.reg gives findings of the startup, uninstall, extension, ActiveX, typed URL, Run
# history and deep-analysis categories holding every kind of value. A repair keeps the changes of
# HKEY_CURRENT_USER in the user's own journal (in the user's Local AppData) and the rest in the
# administrator's (below Program Files). After it, undo of both leaves the registry editor's
# exports of the affected keys byte for byte as before and the Startup file back; the editor's own
# import of the journals restores the registry part alike; a value made again after the repair
# keeps its new data while the undo restores the rest and exits 1; a user's journal that names the
# machine's keys (the administrator's journal put among the user's) restores none of them; a
# startbug name already taken is refused before the journal; a Startup folder on another volume
# is copied into startbug and comes back.
set -euo pipefail
WINE_RUN="$KELTORA_WINE_RUN"
source "$(dirname "$0")/../../tools/lib/seed.sh"
cli="$KELTORA_BIN/keltora-cli.exe"
rows=1,2,3,4,8,9,20
scratch="$KELTORA_SCRATCH"
rm -rf "$scratch"
mkdir -p "$scratch"

keltora="$(program_files_unix)/Keltora Professional"
undo_dir="$keltora/Undo"
startup=$(shell_folder_unix Startup) || fail "no Startup folder in the prefix"
run='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run'
clsid='HKEY_CLASSES_ROOT\CLSID\{4B454C54-554E-444F-0000-000000000001}'
# The keys the repair changes, whole: the fixture's and the prefix's own findings below them.
keys=('HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall' "$run"
      'HKEY_CLASSES_ROOT\.keltundo' "$clsid" 'HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\TypedURLs'
      'HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\RunMRU'
      'HKEY_LOCAL_MACHINE\SOFTWARE\KeltUndoDeep' 'HKEY_CURRENT_USER\Software\KeltUndoDeep')

# The fixture's keys go again at the end, so that no other test meets them.
folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
saved_startup=$(reg_value "$folders" Startup)
profiles='HKLM\Software\Microsoft\Windows NT\CurrentVersion\ProfileList'
saved_profiles=$(reg_value "$profiles" ProfilesDirectory)
prefix=$("$WINE_RUN" --prefix)
other=$(mktemp -d /dev/shm/keltora-undo.XXXXXX 2>/dev/null || mktemp -d "$scratch/other.XXXXXX")
cleanup() {
  local key
  "$WINE_RUN" reg add "$folders" /v Startup /d "$saved_startup" /f >/dev/null 2>&1 || true
  "$WINE_RUN" reg add "$profiles" /v ProfilesDirectory /t REG_EXPAND_SZ /d "$saved_profiles" /f >/dev/null 2>&1 || true
  [[ "$(readlink "$prefix/dosdevices/q:" 2>/dev/null)" != "$other" ]] || rm -f "$prefix/dosdevices/q:"
  rm -rf "$other"
  for key in "${keys[@]:2}" 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\KeltUndoDead'; do
    reg_delete_key "$key"
  done
  "$WINE_RUN" reg delete "$run" /v KeltUndoUpdater /f >/dev/null 2>&1 || true
  rm -f "$startup/KeltUndo.lnk"
}
trap cleanup EXIT

# Files moved aside by earlier runs would keep the Startup files of the same names from moving.
rm -rf "$keltora/startbug"
mkdir -p "$keltora/startbug" "$startup"
reg_delete_key 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\KeltUndoDead'
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$KELTORA_FIXTURES/undo.reg"; } >"$scratch/fixture.reg"
reg_import "$scratch/fixture.reg"
echo keltundo >"$startup/KeltUndo.lnk"

# Every key of the list exported by the registry editor into a folder; one that is missing, as
# an empty file.
export_keys() {
  local i
  mkdir -p "$1"
  for i in "${!keys[@]}"; do
    "$WINE_RUN" regedit /e "$(win_path -w "$1/$i.reg")" "${keys[$i]}" >/dev/null 2>&1 || : >"$1/$i.reg"
  done
}
# One key of the list exported alone; the file's path.
export_one() {
  local file="$scratch/one-$1.reg"
  "$WINE_RUN" regedit /e "$(win_path -w "$file")" "${keys[$1]}" >/dev/null 2>&1 || : >"$file"
  printf '%s\n' "$file"
}
# The same exports as in the folder "before", leaving out the key numbers given.
expect_exports() {
  local i skip
  export_keys "$scratch/$1"
  for i in "${!keys[@]}"; do
    for skip in "${@:3}"; do [ "$i" = "$skip" ] && continue 2; done
    cmp -s "$scratch/before/$i.reg" "$scratch/$1/$i.reg" && continue
    diff <(iconv -f UTF-16LE -t UTF-8 "$scratch/before/$i.reg") <(iconv -f UTF-16LE -t UTF-8 "$scratch/$1/$i.reg") >&2 || true
    fail "$2: the export of ${keys[$i]} differs"
  done
}
# The newest journal of an owner (Undo_: the administrator's, UserUndo_: the user's own), as the
# list prints it. The whole list is read first: a reader that stops after one line would end the
# program with a broken pipe while it still writes the rest.
newest_journal() {
  local out line
  out=$(win "$cli" undo)
  while IFS= read -r line; do
    [[ "$line" == "$1"* ]] && { printf '%s\n' "$line"; return; }
  done <<<"$out"
}
# A repair: its two journals' names in $admin and $user.
repair() {
  local rc=0
  win "$cli" repair --rows "$rows" >/dev/null || rc=$?
  [ "$rc" = 0 ] || fail "repair: exit $rc"
  [ ! -e "$startup/KeltUndo.lnk" ] || fail "repair: the Startup file did not move"
  ! reg_has_value "$run" KeltUndoUpdater || fail "repair: the Run value is still there"
  admin=$(newest_journal Undo_ | cut -f1)
  user=$(newest_journal UserUndo_ | cut -f1)
  [ -n "$admin" ] && [ -n "$user" ] || fail "repair: not both journals were made: '$admin' '$user'"
}
# The key lines of a journal.
journal_keys() { iconv -f UTF-16LE -t UTF-8 "$1" | tr -d '\r' | grep '^\[' || true; }

export_keys "$scratch/before"
grep -q KeltUndoDead <(iconv -f UTF-16LE -t UTF-8 "$scratch/before/0.reg") || fail "the fixture was not imported"

# The user's own journals: in Local AppData as Windows places it below the user's profile.
user_folder=$(win "$cli" --json undo | sed -n 's/.*"userFolder":"\([^"]*\)".*/\1/p' | sed 's/\\\\/\\/g')
[[ "$user_folder" == *'\AppData\Local\Keltora Professional\Undo' ]] || fail "the user's journals are in '$user_folder'"
user_dir=$(win_path -u "$user_folder")

# Undo by the program: exports as before, the file back, both journals marked.
repair
listing=$(newest_journal UserUndo_)
[[ "$listing" == "$user"$'\t'*$'\tkeltora-cli repair\t'* ]] || fail "undo: the user's journal is listed as: $listing"
for journal in "$undo_dir/$admin" "$user_dir/$user"; do
  [ "$(head -c 2 "$journal" | od -An -tx1 | tr -d ' ')" = fffe ] || fail "$journal is not UTF-16LE"
done
user_keys=$(journal_keys "$user_dir/$user")
admin_keys=$(journal_keys "$undo_dir/$admin")
[ -n "$user_keys" ] && ! grep -v '^\[HKEY_CURRENT_USER\\' <<<"$user_keys" >/dev/null || fail "the user's journal names other keys"
! grep '^\[HKEY_CURRENT_USER\\' <<<"$admin_keys" >/dev/null || fail "the administrator's journal names the user's keys"
for name in "$admin" "$user"; do win "$cli" undo "$name" >/dev/null || fail "undo $name: exit $?"; done
expect_exports after-undo "undo"
[ "$(cat "$startup/KeltUndo.lnk")" = keltundo ] || fail "undo: the Startup file is not back"
for owner in Undo_ UserUndo_; do
  [[ "$(newest_journal $owner)" == *$'\tUndone' ]] || fail "undo: the journal $owner is not marked as undone"
done
echo "undo: ok"

# The registry editor's import of both journals: the registry part comes back alike.
repair
for journal in "$undo_dir/$admin" "$user_dir/$user"; do "$WINE_RUN" regedit /s "$(win_path -w "$journal")"; done
expect_exports after-import "regedit /s"
mv "$keltora/startbug/KeltUndo.lnk" "$startup/KeltUndo.lnk"
echo "regedit /s: ok"

# A value made again after the repair keeps its data; the rest comes back; the user's journal,
# which held it, exits 1.
repair
"$WINE_RUN" reg add "$run" /v KeltUndoUpdater /d 'D:\new.exe' /f >/dev/null
rc=0
win "$cli" undo "$user" >/dev/null 2>"$scratch/undo.err" || rc=$?
[ "$rc" = 1 ] || fail "undo with a value made again: exit $rc, not 1"
grep -q 'KeltUndoUpdater' "$scratch/undo.err" || fail "undo did not name the value it left: $(cat "$scratch/undo.err")"
win "$cli" undo "$admin" >/dev/null || fail "undo $admin: exit $?"
[ "$(reg_value "$run" KeltUndoUpdater)" = 'D:\new.exe' ] || fail "the value made again lost its data"
expect_exports after-conflict "undo with a value made again" 1
[ "$(cat "$startup/KeltUndo.lnk")" = keltundo ] || fail "undo with a conflict: the Startup file is not back"
[[ "$(newest_journal UserUndo_)" != *$'\tUndone' ]] || fail "a journal with something left is marked as undone"
echo "undo with a value made again: ok"

# A user's journal that names the machine's keys and a file (the administrator's journal put
# among the user's, as a program of the user could) brings none of them back, and says so.
reg_import "$scratch/fixture.reg"
repair
planted=UserUndo_0-0-0_1-1-2001.reg
cp "$undo_dir/$admin" "$user_dir/$planted"
rc=0
win "$cli" undo "$planted" >/dev/null 2>"$scratch/planted.err" || rc=$?
[ "$rc" = 1 ] || fail "undo of a user's journal naming the machine's keys: exit $rc, not 1"
grep -q 'may name nothing but HKEY_CURRENT_USER' "$scratch/planted.err" || fail "undo did not say why: $(cat "$scratch/planted.err")"
uninstall=$(iconv -f UTF-16LE -t UTF-8 "$(export_one 0)")
! grep KeltUndoDead <<<"$uninstall" >/dev/null || fail "a user's journal brought back a machine's key"
[ ! -e "$startup/KeltUndo.lnk" ] || fail "a user's journal moved a file back"
rm -f "$user_dir/$planted"
for name in "$admin" "$user"; do win "$cli" undo "$name" >/dev/null || fail "undo $name: exit $?"; done
expect_exports after-planted "undo after a planted journal"
echo "a user's journal naming the machine's keys: ok"

# The folder of the user's journals swapped for a link to another folder, as a program of the
# user could: the journal is written nowhere (nothing where the link leads), the user's own data
# stays and the refusal is told (exit 1), the machine's goes with the administrator's journal,
# whose undo brings it back.
user_parent=$(dirname "$user_dir")
mv "$user_parent" "$scratch/user-journals"
mkdir -p "$scratch/elsewhere"
ln -s "$scratch/elsewhere" "$user_parent"
rc=0
win "$cli" repair --rows "$rows" >/dev/null 2>"$scratch/linked.err" || rc=$?
rm "$user_parent"
mv "$scratch/user-journals" "$user_parent"
[ "$rc" = 1 ] || fail "repair with the user's journal folder a link: exit $rc, not 1: $(cat "$scratch/linked.err")"
grep -q 'below the profile folder is a link' "$scratch/linked.err" || fail "repair did not say why: $(cat "$scratch/linked.err")"
[ -z "$(ls -A "$scratch/elsewhere")" ] || fail "something was written where the link leads: $(ls -A "$scratch/elsewhere")"
reg_has_value "$run" KeltUndoUpdater || fail "the user's Run value went without a journal"
admin=$(newest_journal Undo_ | cut -f1)
win "$cli" undo "$admin" >/dev/null || fail "undo $admin after the linked folder: exit $?"
expect_exports after-linked "undo after the user's journal folder was a link"
echo "the user's journal folder a link: ok"

# A move into startbug whose name is taken there is refused before the journal is written: the
# repair leaves the Startup file (exit 3), the administrator's journal holds no move, and the
# undo leaves the file that was in startbug as it was.
echo earlier >"$keltora/startbug/KeltUndo.lnk"
rc=0
win "$cli" repair --rows "$rows" >/dev/null 2>"$scratch/taken.err" || rc=$?
admin=$(newest_journal Undo_ | cut -f1)
user=$(newest_journal UserUndo_ | cut -f1)
[ "$rc" = 3 ] || fail "repair with the startbug name taken: exit $rc, not 3"
grep -q 'already holds a file of that name' "$scratch/taken.err" || fail "repair with the startbug name taken: $(cat "$scratch/taken.err")"
[ "$(cat "$startup/KeltUndo.lnk")" = keltundo ] || fail "repair with the startbug name taken moved the Startup file"
! iconv -f UTF-16LE -t UTF-8 "$undo_dir/$admin" | grep -q 'Entry: file move' || fail "the journal holds a move that was not made"
for name in "$admin" "$user"; do win "$cli" undo "$name" >/dev/null || fail "undo $name after the startbug name was taken: exit $?"; done
[ "$(cat "$keltora/startbug/KeltUndo.lnk")" = earlier ] || fail "undo moved the earlier file out of startbug"
rm -f "$keltora/startbug/KeltUndo.lnk"
echo "a startbug name already taken: ok"

# A Startup folder on another volume (a drive letter of the prefix on another Linux file system):
# the file is copied into startbug through the open handles, checked, its original deleted, and
# undo brings it back there. The profile Windows records is on that volume too (Wine makes it of
# the machine's ProfilesDirectory and the user's name), as a per-user folder is used only inside
# it; like every profile it holds the user's Local AppData, where the user's own journal goes.
account=$(id -un)
mkdir -p "$other/$account/Startup" "$other/$account/AppData/Local"
ln -sfn "$other" "$prefix/dosdevices/q:"
"$WINE_RUN" reg add "$profiles" /v ProfilesDirectory /t REG_EXPAND_SZ /d 'Q:' /f >/dev/null
"$WINE_RUN" reg add "$folders" /v Startup /d "Q:\\$account\\Startup" /f >/dev/null
mv "$startup/KeltUndo.lnk" "$other/$account/Startup/KeltUndo.lnk"
win "$cli" repair --rows "$rows" >/dev/null 2>"$scratch/volume.err" || fail "repair with the Startup folder on Q: exit $?: $(cat "$scratch/volume.err")"
[ ! -e "$other/$account/Startup/KeltUndo.lnk" ] || fail "the Startup file on Q: is still there"
[ "$(cat "$keltora/startbug/KeltUndo.lnk")" = keltundo ] || fail "the Startup file on Q: did not reach startbug"
admin=$(newest_journal Undo_ | cut -f1)
user=$(newest_journal UserUndo_ | cut -f1)
for name in "$admin" "$user"; do win "$cli" undo "$name" >/dev/null || fail "undo $name of the move from Q: exit $?"; done
[ "$(cat "$other/$account/Startup/KeltUndo.lnk")" = keltundo ] || fail "undo did not bring the file back to Q:"
[ ! -e "$keltora/startbug/KeltUndo.lnk" ] || fail "undo left the copy in startbug"

# The same move whose original cannot be deleted once the copy is made and read back (read-only,
# which Wine's classic disposition refuses): the copy goes again, the file stays on Q:, the
# journal marks the move as not made, and undo passes over it.
chmod a-w "$other/$account/Startup/KeltUndo.lnk"
rc=0
win "$cli" repair --rows "$rows" >/dev/null 2>"$scratch/readonly.err" || rc=$?
[ "$rc" = 3 ] || fail "repair of a read-only Startup file on Q: exit $rc, not 3: $(cat "$scratch/readonly.err")"
[ "$(cat "$other/$account/Startup/KeltUndo.lnk")" = keltundo ] || fail "the read-only Startup file on Q: is gone"
[ ! -e "$keltora/startbug/KeltUndo.lnk" ] || fail "the copy of a file whose original stayed is in startbug"
admin=$(newest_journal Undo_ | cut -f1)
user=$(newest_journal UserUndo_ | cut -f1)
journal_text=$(iconv -f UTF-16LE -t UTF-8 "$undo_dir/$admin")
grep -q 'Entry: file move' <<<"$journal_text" && grep -q '; Not made: ' <<<"$journal_text" ||
  fail "the move that did not happen is not marked as not made"
for name in "$admin" "$user"; do win "$cli" undo "$name" >/dev/null 2>&1 || fail "undo $name after the read-only move: exit $?"; done
[ "$(cat "$other/$account/Startup/KeltUndo.lnk")" = keltundo ] || fail "undo of a move not made touched the file on Q:"
[ ! -e "$keltora/startbug/KeltUndo.lnk" ] || fail "undo of a move not made left a file in startbug"
chmod u+w "$other/$account/Startup/KeltUndo.lnk"
echo "a startbug move to another volume, and one whose original stays: ok ($(stat -f -c %T "$other") to $(stat -f -c %T "$keltora"))"

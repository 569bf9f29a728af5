#!/usr/bin/env bash
# keltora-cli repair and undo against the real registry and Startup folder of a Wine prefix:
# fixtures/undo.reg gives findings of the startup, uninstall, extension, ActiveX, typed URL, Run
# history and deep-analysis categories holding every kind of value. After a repair, `undo NAME`
# leaves the registry editor's exports of the affected keys byte for byte as before and the
# Startup file back; the editor's own import of the journal restores the registry part alike; a
# value made again after the repair keeps its new data while the undo restores the rest and
# exits 1.
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
prefix=$("$WINE_RUN" --prefix)
other=$(mktemp -d /dev/shm/keltora-undo.XXXXXX 2>/dev/null || mktemp -d "$scratch/other.XXXXXX")
cleanup() {
  local key
  "$WINE_RUN" reg add "$folders" /v Startup /d "$saved_startup" /f >/dev/null 2>&1 || true
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
# The first line of the journal list. The whole list is read first: a reader that stops after
# one line would end the program with a broken pipe while it still writes the rest.
newest_journal() {
  local out
  out=$(win "$cli" undo)
  printf '%s\n' "${out%%$'\n'*}"
}
repair() {
  local rc=0
  win "$cli" repair --rows "$rows" >/dev/null || rc=$?
  [ "$rc" = 0 ] || fail "repair: exit $rc"
  [ ! -e "$startup/KeltUndo.lnk" ] || fail "repair: the Startup file did not move"
  ! reg_has_value "$run" KeltUndoUpdater || fail "repair: the Run value is still there"
  newest_journal | cut -f1
}

export_keys "$scratch/before"
grep -q KeltUndoDead <(iconv -f UTF-16LE -t UTF-8 "$scratch/before/0.reg") || fail "the fixture was not imported"

# Undo by the program: exports as before, the file back, the journal marked.
name=$(repair)
listing=$(newest_journal)
[[ "$listing" == "$name"$'\t'*$'\tkeltora-cli repair\t'* ]] || fail "undo: the newest journal is listed as: $listing"
[ "$(head -c 2 "$undo_dir/$name" | od -An -tx1 | tr -d ' ')" = fffe ] || fail "the journal is not UTF-16LE"
win "$cli" undo "$name" >/dev/null || fail "undo $name: exit $?"
expect_exports after-undo "undo"
[ "$(cat "$startup/KeltUndo.lnk")" = keltundo ] || fail "undo: the Startup file is not back"
[[ "$(newest_journal)" == *$'\tUndone' ]] || fail "undo: the journal is not marked as undone"
echo "undo: ok"

# The registry editor's import of the journal: the registry part comes back alike.
name=$(repair)
"$WINE_RUN" regedit /s "$(win_path -w "$undo_dir/$name")"
expect_exports after-import "regedit /s"
mv "$keltora/startbug/KeltUndo.lnk" "$startup/KeltUndo.lnk"
echo "regedit /s: ok"

# A value made again after the repair keeps its data; the rest comes back; the exit is 1.
name=$(repair)
"$WINE_RUN" reg add "$run" /v KeltUndoUpdater /d 'D:\new.exe' /f >/dev/null
rc=0
win "$cli" undo "$name" >/dev/null 2>"$scratch/undo.err" || rc=$?
[ "$rc" = 1 ] || fail "undo with a value made again: exit $rc, not 1"
grep -q 'KeltUndoUpdater' "$scratch/undo.err" || fail "undo did not name the value it left: $(cat "$scratch/undo.err")"
[ "$(reg_value "$run" KeltUndoUpdater)" = 'D:\new.exe' ] || fail "the value made again lost its data"
expect_exports after-conflict "undo with a value made again" 1
[ "$(cat "$startup/KeltUndo.lnk")" = keltundo ] || fail "undo with a conflict: the Startup file is not back"
[[ "$(newest_journal)" != *$'\tUndone' ]] || fail "a journal with something left is marked as undone"
echo "undo with a value made again: ok"

# A move into startbug whose name is taken there is refused before the journal is written: the
# repair leaves the Startup file (exit 3), its journal holds no move, and its undo leaves the
# file that was in startbug as it was.
echo earlier >"$keltora/startbug/KeltUndo.lnk"
rc=0
win "$cli" repair --rows "$rows" >/dev/null 2>"$scratch/taken.err" || rc=$?
[ "$rc" = 3 ] || fail "repair with the startbug name taken: exit $rc, not 3"
grep -q 'already holds a file of that name' "$scratch/taken.err" || fail "repair with the startbug name taken: $(cat "$scratch/taken.err")"
[ "$(cat "$startup/KeltUndo.lnk")" = keltundo ] || fail "repair with the startbug name taken moved the Startup file"
name=$(newest_journal | cut -f1)
! iconv -f UTF-16LE -t UTF-8 "$undo_dir/$name" | grep -q 'Entry: file move' || fail "the journal holds a move that was not made"
win "$cli" undo "$name" >/dev/null || fail "undo after the startbug name was taken: exit $?"
[ "$(cat "$keltora/startbug/KeltUndo.lnk")" = earlier ] || fail "undo moved the earlier file out of startbug"
rm -f "$keltora/startbug/KeltUndo.lnk"
echo "a startbug name already taken: ok"

# A Startup folder on another volume (a drive letter of the prefix on another Linux file system):
# the file is copied into startbug through the open handles, checked, its original deleted, and
# undo brings it back there. The profile Windows records is on that volume too (Wine makes it of
# the machine's ProfilesDirectory and the user's name), as a per-user folder is used only inside
# it.
profiles='HKLM\Software\Microsoft\Windows NT\CurrentVersion\ProfileList'
saved_profiles=$(reg_value "$profiles" ProfilesDirectory)
user=$(id -un)
mkdir -p "$other/$user/Startup"
ln -sfn "$other" "$prefix/dosdevices/q:"
"$WINE_RUN" reg add "$profiles" /v ProfilesDirectory /t REG_EXPAND_SZ /d 'Q:' /f >/dev/null
"$WINE_RUN" reg add "$folders" /v Startup /d "Q:\\$user\\Startup" /f >/dev/null
mv "$startup/KeltUndo.lnk" "$other/$user/Startup/KeltUndo.lnk"
win "$cli" repair --rows "$rows" >/dev/null 2>"$scratch/volume.err" || fail "repair with the Startup folder on Q: exit $?: $(cat "$scratch/volume.err")"
[ ! -e "$other/$user/Startup/KeltUndo.lnk" ] || fail "the Startup file on Q: is still there"
[ "$(cat "$keltora/startbug/KeltUndo.lnk")" = keltundo ] || fail "the Startup file on Q: did not reach startbug"
name=$(newest_journal | cut -f1)
win "$cli" undo "$name" >/dev/null || fail "undo of the move from Q: exit $?"
[ "$(cat "$other/$user/Startup/KeltUndo.lnk")" = keltundo ] || fail "undo did not bring the file back to Q:"
[ ! -e "$keltora/startbug/KeltUndo.lnk" ] || fail "undo left the copy in startbug"
"$WINE_RUN" reg add "$profiles" /v ProfilesDirectory /t REG_EXPAND_SZ /d "$saved_profiles" /f >/dev/null
echo "a startbug move to another volume: ok ($(stat -f -c %T "$other") to $(stat -f -c %T "$keltora"))"

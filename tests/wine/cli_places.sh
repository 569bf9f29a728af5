#!/usr/bin/env bash
# keltora-cli against the places of today's Windows in a Wine prefix: every place of the table
# seeded with files old and new, a file held open by another program, links inside pointing
# outside the prefix, the Quick Access pins, a WebCache folder, names in Chinese and with emoji,
# and Explorer's history lists in the registry. Each category lists and removes exactly what its
# rows say and leaves the rest (what this script did not make stays unchecked); `undo` brings the
# Explorer history back byte for byte.
set -euo pipefail
WINE_RUN="$KELTORA_WINE_RUN"
source "$(dirname "$0")/../../tools/lib/seed.sh"
cli="$KELTORA_BIN/keltora-cli.exe"
helper="$KELTORA_BIN/keltora_wine_privacy.exe"
tag=keltora-places
scratch="$KELTORA_SCRATCH"
rm -rf "$scratch" && mkdir -p "$scratch"
trap 'status=$?; [[ $- != *e* ]] || echo "FAIL: line $LINENO: $BASH_COMMAND ended the script (status $status)" >&2' ERR

temp=$(win cmd /c 'echo %TEMP%')
local_app=$(win cmd /c 'echo %LOCALAPPDATA%')
roaming=$(win cmd /c 'echo %APPDATA%')
program_data=$(win cmd /c 'echo %ProgramData%')
unix_of() { win winepath -u "$1"; }
explorer_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer'
history_keys=("$explorer_key\\RecentDocs" "$explorer_key\\ComDlg32\\OpenSavePidlMRU"
              "$explorer_key\\ComDlg32\\LastVisitedPidlMRU" "$explorer_key\\TypedPaths" "$explorer_key\\WordWheelQuery")
outside="$scratch/outside-$tag"
pins="$(unix_of "$roaming\\Microsoft\\Windows\\Recent\\AutomaticDestinations")/f01b4d95cf55d32a.automaticDestinations-ms"

# Everything this script makes carries the tag in its name (the pins file aside), and goes again.
cleanup() {
  local base
  for base in "$temp" "$local_app" "$roaming" "$program_data"; do
    find "$(unix_of "$base")" -depth -name "*$tag*" -exec rm -rf {} + 2>/dev/null || true
  done
  rm -f "$pins"
  for key in "${history_keys[@]}"; do reg_delete_key "$key"; done
}
trap cleanup EXIT
cleanup

# A file below a Windows folder, written so many days ago (0: now); prints its Linux path.
make_file() {
  local folder
  folder=$(unix_of "$1")
  mkdir -p "$folder"
  head -c 100 /dev/zero >"$folder/$2"
  [ "${3:-3}" = 0 ] || touch -d "${3:-3} days ago" "$folder/$2"
  echo "$folder/$2"
}

# The captions of a text listing that this script made, sorted; the rows it did not make.
own_captions() { tail -n +3 | cut -f2 | grep -F "$tag" | sort || true; }
foreign_rows() { tail -n +3 | awk -F'\t' -v tag="$tag" 'index($2, tag) == 0 { printf "%s%d", (n++ ? "," : ""), NR - 1 }'; }

# Removes what CODE lists of this script's, the rest unchecked; the console's exit status.
remove_own() {
  local code="$1" out rows status=0
  out=$(win "$cli" scan "$code")
  rows=$(foreign_rows <<<"$out")
  if [ -n "$rows" ]; then
    win "$cli" remove "$code" --uncheck "$rows" >"$scratch/$code.out" 2>"$scratch/$code.err" || status=$?
  else
    win "$cli" remove "$code" >"$scratch/$code.out" 2>"$scratch/$code.err" || status=$?
  fi
  return "$status"
}

# Scans CODE, checks that it lists exactly the captions given of this script's files, removes
# them and checks that they are gone.
expect_places() {
  local code="$1"; shift
  local listed expected
  listed=$(win "$cli" scan "$code" | own_captions)
  expected=$(printf '%s\n' "$@" | sort)
  expect_eq "$listed" "$expected" "scan $code lists what its rows say"
  remove_own "$code" || fail "remove $code: exit $?: $(cat "$scratch/$code.err")"
  [ -z "$(own_captions <"$scratch/$code.out")" ] || fail "remove $code left: $(own_captions <"$scratch/$code.out")"
  echo "scan and remove $code: ok"
}

# --- the file places ---------------------------------------------------------------------------

mkdir -p "$outside/dir"
echo keep >"$outside/dir/outside-$tag.log"
echo keep >"$outside/target-$tag.log"
touch -d '3 days ago' "$outside/dir/outside-$tag.log" "$outside/target-$tag.log"

# User temporary files: old files at any depth, never new ones, never the temporary-files
# category's *.tmp, never through a folder link; Chinese and emoji names by their exact names.
old=$(make_file "$temp" "$tag-old.log")
deep=$(make_file "$temp\\$tag-sub\\deep" "$tag-deep.bin")
new=$(make_file "$temp" "$tag-new.log" 0)
tmp=$(make_file "$temp" "$tag.tmp")
chinese=$(make_file "$temp" "报告-$tag.log")
emoji=$(make_file "$temp" "😀-$tag.log")
ln -sfn "$outside/dir" "$(unix_of "$temp")/$tag-link"
json=$(win "$cli" --json scan utemp)
grep -qF "\"exactName\":\"报告-$tag.log\"" <<<"$json" || fail "the Chinese name is not listed exactly: $json"
grep -qF "\"exactName\":\"😀-$tag.log\"" <<<"$json" || fail "the emoji name is not listed exactly: $json"
listed=$(win "$cli" scan utemp | own_captions)
expect_eq "$(grep -v '?' <<<"$listed")" "$(printf '%s\n' "$tag-deep.bin" "$tag-old.log")" "scan utemp"
[ "$(grep -c '?' <<<"$listed")" = 2 ] || fail "scan utemp lists the two names outside the code page: $listed"
remove_own utemp || fail "remove utemp: exit $?: $(cat "$scratch/utemp.err")"
for gone in "$old" "$deep" "$chinese" "$emoji"; do [ ! -e "$gone" ] || fail "remove utemp left $gone"; done
[ ! -e "$(dirname "$deep")" ] || fail "remove utemp left the folder it emptied"
[ -d "$(unix_of "$temp")" ] || fail "remove utemp removed the temporary folder itself"
for kept in "$new" "$tmp" "$outside/dir/outside-$tag.log"; do [ -e "$kept" ] || fail "remove utemp deleted $kept"; done
win "$cli" scan temp | own_captions | grep -qxF "$tag.tmp" || fail "the temporary-files category no longer lists $tag.tmp"
rm -f "$(unix_of "$temp")/$tag-link"
echo "user temporary files: ok"

# A file held open by another program stays listed, unchanged, and is said (exit 3); once it is
# free, it goes.
held=$(make_file "$temp" "$tag-held.log")
marker="C:\\$tag-marker"
KELTORA_PRIVACY_HELPER="lock $marker|$temp\\$tag-held.log" "$WINE_RUN" "$helper" &
holder=$!
for _ in $(seq 300); do [ -e "$(unix_of "$marker")" ] && break; sleep 0.1; done
[ -e "$(unix_of "$marker")" ] || fail "the file holder did not start"
status=0; remove_own utemp || status=$?
rm -f "$(unix_of "$marker")"
wait "$holder" || true
[ "$status" = 3 ] || fail "remove utemp of a file in use: exit $status, not 3"
grep -qF "in use by another program and stays listed: $temp\\$tag-held.log" "$scratch/utemp.err" ||
  fail "remove utemp did not say the file was in use: $(cat "$scratch/utemp.err")"
grep -qF "$tag-held.log" <(own_captions <"$scratch/utemp.out") || fail "the file in use left the list"
[ -e "$held" ] || fail "the file in use was deleted"
remove_own utemp || fail "remove utemp once the file is free: exit $?"
[ ! -e "$held" ] || fail "the freed file stayed"
echo "a file in use: ok"

# A link to a file outside the prefix: Wine lists it like the file itself (Windows marks it as a
# link and lists nothing), and it is never acted through.
ln -sfn "$outside/target-$tag.log" "$(unix_of "$temp")/$tag-filelink.log"
remove_own utemp || true
[ "$(cat "$outside/target-$tag.log")" = keep ] || fail "remove utemp reached the target of a file link"
[ -L "$(unix_of "$temp")/$tag-filelink.log" ] || fail "remove utemp took the link itself"
rm -f "$(unix_of "$temp")/$tag-filelink.log"
echo "a file link: ok"

wer="$local_app\\Microsoft\\Windows\\WER"
make_file "$wer\\ReportArchive\\AppCrash_$tag" "Report-$tag.wer" >/dev/null
make_file "$wer\\ReportQueue\\AppHang_$tag" "memory-$tag.hdmp" >/dev/null
make_file "$program_data\\Microsoft\\Windows\\WER\\ReportQueue\\Kernel_$tag" "machine-$tag.wer" >/dev/null
make_file "$wer\\Temp" "other-$tag.tmp" >/dev/null
expect_places wer "Report-$tag.wer" "memory-$tag.hdmp" "machine-$tag.wer"
[ ! -e "$(unix_of "$wer\\ReportArchive")/AppCrash_$tag" ] || fail "remove wer left the report folder it emptied"

make_file "$local_app\\CrashDumps" "$tag.exe.1234.dmp" >/dev/null
make_file "$local_app\\CrashDumps" "$tag.txt" >/dev/null
expect_places cdump "$tag.exe.1234.dmp"

explorer="$local_app\\Microsoft\\Windows\\Explorer"
make_file "$explorer" "thumbcache_$tag.db" >/dev/null
make_file "$explorer" "iconcache_$tag.db" >/dev/null
make_file "$explorer" "$tag.etl" >/dev/null
expect_places thumb "thumbcache_$tag.db" "iconcache_$tag.db"

recent="$roaming\\Microsoft\\Windows\\Recent"
make_file "$recent\\AutomaticDestinations" "$tag.automaticDestinations-ms" >/dev/null
make_file "$recent\\AutomaticDestinations" f01b4d95cf55d32a.automaticDestinations-ms >/dev/null
make_file "$recent\\CustomDestinations" "$tag.customDestinations-ms" >/dev/null
expect_places jump "$tag.automaticDestinations-ms" "$tag.customDestinations-ms"
[ -e "$pins" ] || fail "remove jump deleted the Quick Access pins"
win "$cli" scan jump | grep -qF f01b4d95cf55d32a && fail "scan jump lists the Quick Access pins"

inet="$local_app\\Microsoft\\Windows\\INetCache"
make_file "$inet\\IE\\$tag" "photo-$tag.jpg" >/dev/null
webcache=$(make_file "$inet\\WebCache" "V01-$tag.log")
own_webcache=$(make_file "$local_app\\Microsoft\\Windows\\WebCache" "V01-$tag.dat")
expect_places inet "photo-$tag.jpg"
[ -e "$webcache" ] && [ -e "$own_webcache" ] || fail "remove inet reached a WebCache folder"

# A place whose folder is a link lists nothing and says which.
dumps=$(unix_of "$local_app\\CrashDumps")
mv "$dumps" "$scratch/CrashDumps.$tag"
ln -sfn "$outside/dir" "$dumps"
win "$cli" scan cdump 2>"$scratch/cdump.err" | own_captions | grep -q . && fail "scan cdump listed through a link"
rm -f "$dumps" && mv "$scratch/CrashDumps.$tag" "$dumps"
grep -qF 'Local AppData\CrashDumps: a folder on the way is a link or junction' "$scratch/cdump.err" ||
  fail "scan cdump did not say why: $(cat "$scratch/cdump.err")"
[ "$(cat "$outside/dir/outside-$tag.log")" = keep ] || fail "a link led a removal outside the prefix"
echo "a place that is a link: ok"

# Local AppData redirected through the user's own key (which any program of the user can write)
# to a folder outside the profile: SHGetKnownFolderPath reports it, and the profile rule passes
# it over and says why.
user_folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'
redirected="$outside/AppData"
mkdir -p "$redirected/CrashDumps"
echo keep >"$redirected/CrashDumps/redirected-$tag.dmp"
saved=$(reg_value "$user_folders" 'Local AppData' || true)
"$WINE_RUN" reg add "$user_folders" /v 'Local AppData' /t REG_EXPAND_SZ /d "$(win winepath -w "$redirected")" /f >/dev/null
status=0; win "$cli" remove cdump >"$scratch/cdump.out" 2>"$scratch/cdump.err" || status=$?
if [ -n "$saved" ]; then
  "$WINE_RUN" reg add "$user_folders" /v 'Local AppData' /t REG_EXPAND_SZ /d "$saved" /f >/dev/null
else
  "$WINE_RUN" reg delete "$user_folders" /v 'Local AppData' /f >/dev/null
fi
[ -e "$redirected/CrashDumps/redirected-$tag.dmp" ] || fail "remove cdump deleted a file of a redirected Local AppData"
own_captions <"$scratch/cdump.out" | grep -q . && fail "scan cdump listed a redirected Local AppData"
grep -qF 'which the known folder Local AppData names: it is not inside the profile folder' "$scratch/cdump.err" ||
  fail "remove cdump did not say why it passed over the redirected folder (exit $status): $(cat "$scratch/cdump.err")"
echo "a known folder redirected outside the profile: ok"

# --- Explorer history, removed and brought back by undo ------------------------------------------

name_hex() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 | tr -d ' \n'; }
"$WINE_RUN" reg add "${history_keys[0]}" /v 0 /t REG_BINARY /d "$(name_hex "$tag.docx")0000141516" /f >/dev/null
"$WINE_RUN" reg add "${history_keys[0]}" /v MRUListEx /t REG_BINARY /d 00000000ffffffff /f >/dev/null
"$WINE_RUN" reg add "${history_keys[0]}\\.txt" /v 0 /t REG_BINARY /d "$(name_hex "$tag.txt")0000" /f >/dev/null
"$WINE_RUN" reg add "${history_keys[1]}\\*" /v 0 /t REG_BINARY /d "$(printf '3%.0s' $(seq 1 4000))" /f >/dev/null
"$WINE_RUN" reg add "${history_keys[2]}" /v 0 /t REG_BINARY /d "$(name_hex "$tag.exe")0000aa" /f >/dev/null
"$WINE_RUN" reg add "${history_keys[3]}" /v url1 /t REG_SZ /d "C:\\$tag" /f >/dev/null
"$WINE_RUN" reg add "${history_keys[4]}" /v 0 /t REG_BINARY /d "$(name_hex "报告 $tag")0000" /f >/dev/null
"$WINE_RUN" reg add "${history_keys[4]}" /v odd /t REG_DWORD /d 7 /f >/dev/null
export_history() {
  local i
  mkdir -p "$1"
  for i in "${!history_keys[@]}"; do
    "$WINE_RUN" regedit /e "$(win winepath -w "$1/$i.reg")" "${history_keys[$i]/HKCU/HKEY_CURRENT_USER}" >/dev/null
  done
}
export_history "$scratch/before"
out=$(win "$cli" scan mru)
[ "$(head -n 1 <<<"$out")" = "== mru lvmru 8" ] || fail "scan mru: $out"
grep -qF $'\t'"$tag.docx"$'\t' <<<"$out" || fail "scan mru does not show the document's name: $out"
grep -qF $'\tREG_BINARY data, 2000 bytes\t' <<<"$out" || fail "scan mru does not show the open/save entry whole: $out"
grep -qF $'\tREG_DWORD data, 4 bytes\t' <<<"$out" || fail "scan mru reads an odd value as something else: $out"
win "$cli" remove mru >/dev/null 2>"$scratch/mru.err" || fail "remove mru: $(cat "$scratch/mru.err")"
for key in "${history_keys[@]}"; do
  [ -z "$(win reg query "$key" /s 2>/dev/null | grep -E 'REG_(BINARY|SZ|DWORD)')" ] || fail "remove mru left values in $key"
done
# The whole list is read first: a reader that stops after one line would end the program with a
# broken pipe while it still writes the rest.
listing=$(win "$cli" undo)
journal=$(head -n 1 <<<"$listing" | cut -f1)
head -n 1 <<<"$listing" | grep -qF 'keltora-cli remove mru' || fail "the newest journal is not the removal's: $listing"
win "$cli" undo "$journal" >/dev/null 2>"$scratch/undo.err" || fail "undo $journal: $(cat "$scratch/undo.err")"
export_history "$scratch/after"
for i in "${!history_keys[@]}"; do
  cmp -s "$scratch/before/$i.reg" "$scratch/after/$i.reg" || fail "undo did not bring ${history_keys[$i]} back byte for byte"
done
echo "explorer history, removed and undone: ok"

# --- the summary -----------------------------------------------------------------------------

out=$(win "$cli" categories | tail -n 7 | cut -f1,5)
expect_eq "$out" "$(printf '%s\tWindows 10 and 11\n' utemp wer cdump thumb jump inet mru | sed '$!b')" "categories"
make_file "$local_app\\CrashDumps" "$tag-total.dmp" >/dev/null
json=$(win "$cli" --json fullscan --rows 21,22,23,24,25,26,27)
grep -qE '"totals":\{"errors":[1-9][0-9]*,"privacy":[1-9][0-9]*\}' <<<"$json" || fail "fullscan --json: $json"
grep -qF '"caption":"Crash Dumps","subItems":["' <<<"$json" || fail "fullscan --json has no Crash Dumps row: $json"
echo "categories and fullscan totals: ok"

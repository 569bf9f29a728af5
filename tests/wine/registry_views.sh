#!/usr/bin/env bash
# keltora-cli against both registry views and both hives of a Wine prefix. Values and keys that
# reg writes for 32-bit programs (/reg:32, below WOW6432Node) are listed with the key they are in
# and removed there, never from the 64-bit twin beside them; the user's and the machine's classes
# each name and lose their own; a 32-bit value or class naming a file of system32 that a 32-bit
# program finds in SysWOW64 is not missing, while the same data in the 64-bit view is; an item
# disabled in Task Manager is listed unchecked. Every name holds "KeltV" or the class-id stem
# 4B454C54-0000-0000-0000-0000000032; every other finding of the prefix stays unchecked, so a
# removal here touches nothing else, and what the test made is taken away at the end.
set -euo pipefail
WINE_RUN="$KELTORA_WINE_RUN"
source "$(dirname "$0")/../../tools/lib/seed.sh"
cli="$KELTORA_BIN/keltora-cli.exe"

run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
machine_run='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
approved='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
user_uninstall='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
clsid() { echo "{4B454C54-0000-0000-0000-00000000320$1}"; }
syswow64="$("$WINE_RUN" --prefix)/drive_c/windows/syswow64"
made_syswow64=

clean_up() {
  "$WINE_RUN" reg delete "$machine_run" /v KeltVRun32 /reg:32 /f >/dev/null 2>&1 || true
  "$WINE_RUN" reg delete "$run" /v KeltVDisabled /f >/dev/null 2>&1 || true
  "$WINE_RUN" reg delete "$approved" /v KeltVDisabled /f >/dev/null 2>&1 || true
  "$WINE_RUN" reg delete "$uninstall\\KeltVUeBoth" /reg:32 /f >/dev/null 2>&1 || true
  for key in "$uninstall\\KeltVUeBoth" "$user_uninstall\\KeltVUeUser" 'HKLM\Software\Classes\.keltvboth' \
             'HKCU\Software\Classes\.keltvboth' 'HKLM\Software\KeltVDeep64' 'HKLM\Software\Wow6432Node\KeltVDeep32' \
             "HKCU\\Software\\Classes\\CLSID\\$(clsid 3)" "HKLM\\Software\\Classes\\CLSID\\$(clsid 4)"; do
    reg_delete_key "$key"
  done
  for n in 1 2; do "$WINE_RUN" reg delete "HKCR\\CLSID\\$(clsid $n)" /reg:32 /f >/dev/null 2>&1 || true; done
  rm -f "$syswow64/keltvx32.dll"
  if [ -n "$made_syswow64" ]; then rmdir "$syswow64" 2>/dev/null || true; fi
}
clean_up
trap clean_up EXIT

reg32() { "$WINE_RUN" reg add "$@" /reg:32 /f >/dev/null; }
reg64() { "$WINE_RUN" reg add "$@" /f >/dev/null; }
# Whether a key or value is there in the 32-bit view (reg query ... /reg:32) or the 64-bit one.
there32() { "$WINE_RUN" reg query "$@" /reg:32 >/dev/null 2>&1; }
there64() { "$WINE_RUN" reg query "$@" >/dev/null 2>&1; }

# A file only a 32-bit program finds as C:\windows\system32\keltvx32.dll.
[ -d "$syswow64" ] || { mkdir -p "$syswow64"; made_syswow64=1; }
echo dll >"$syswow64/keltvx32.dll"
in_system32='C:\windows\system32\keltvx32.dll'

reg32 "$machine_run" /v KeltVRun32 /d 'C:\KeltVGone\run32.exe'
reg64 "$run" /v KeltVDisabled /d 'C:\KeltVGone\off.exe'
reg64 "$approved" /v KeltVDisabled /t REG_BINARY /d 030000000000000000000000
reg32 "$uninstall\\KeltVUeBoth"
reg64 "$uninstall\\KeltVUeBoth"
reg64 "$user_uninstall\\KeltVUeUser"
reg32 "HKCR\\CLSID\\$(clsid 1)\\InprocServer32" /ve /d 'C:\KeltVGone\gone32.dll'
reg32 "HKCR\\CLSID\\$(clsid 2)\\InprocServer32" /ve /d "$in_system32"
reg64 "HKCU\\Software\\Classes\\CLSID\\$(clsid 3)\\InprocServer32" /ve /d 'C:\KeltVGone\user.dll'
reg64 "HKLM\\Software\\Classes\\CLSID\\$(clsid 4)\\InprocServer32" /ve /d "$in_system32"
reg64 'HKLM\Software\Classes\.keltvboth'
reg64 'HKCU\Software\Classes\.keltvboth'
reg32 'HKLM\Software\KeltVDeep32' /v Dll /d "$in_system32"
reg64 'HKLM\Software\KeltVDeep64' /v Dll /d "$in_system32"

tab=$'\t'
row() { local IFS="$tab"; echo "$*"; }
ours() { awk 'NR > 2 && tolower($0) ~ /keltv|0000320/'; }
# remove CODE with only the rows that match a pattern checked (rows already unchecked stay so).
remove_only() {
  local rows out
  rows=$(win "$cli" scan "$1" | awk -v keep="$2" 'NR > 2 && $0 !~ keep { printf "%s%d", (n++ ? "," : ""), NR - 3 }')
  if [ -n "$rows" ]; then out=$(win "$cli" remove "$1" --uncheck "$rows"); else out=$(win "$cli" remove "$1"); fi
  echo "$out"
}

# --- Startup programs: the 32-bit Run key, and an item disabled in Task Manager ----------------
sp_row() { row "$1" "$2" 'Rarely Used(Remove)' "$3" "$4"; }
out=$(win "$cli" scan sp)
expect_eq "$(ours <<<"$out")" "$(printf '%s\n' \
  "$(sp_row - KeltVDisabled 'C:\KeltVGone\off.exe' 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run')" \
  "$(sp_row x KeltVRun32 'C:\KeltVGone\run32.exe' 'HKLM\SOFTWARE\WOW6432Node\Microsoft\Windows\CurrentVersion\Run')")" \
  "scan sp: the 32-bit Run value, and the disabled item unchecked"
remove_only sp "${tab}KeltVRun32${tab}" >/dev/null
! there32 "$machine_run" /v KeltVRun32 || fail "remove sp: KeltVRun32 is still in the 32-bit Run key"
there64 "$run" /v KeltVDisabled || fail "remove sp: the unchecked disabled item went"
echo "views, sp: ok"

# --- Uninstall entries: both views of the machine, and the user's own --------------------------
ue_row() { row x "$1" 'Missing Uninstall Key(Removable)' "$1" "$2\\$1"; }
out=$(win "$cli" scan ue)
expect_eq "$(ours <<<"$out")" "$(printf '%s\n' \
  "$(ue_row KeltVUeBoth 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall')" \
  "$(ue_row KeltVUeBoth 'HKLM\SOFTWARE\WOW6432Node\Microsoft\Windows\CurrentVersion\Uninstall')" \
  "$(ue_row KeltVUeUser 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall')")" \
  "scan ue: each entry with the key it is in"
remove_only ue 'KeltVUe.*(WOW6432Node|HKCU)' >/dev/null
! there32 "$uninstall\\KeltVUeBoth" || fail "remove ue: the 32-bit KeltVUeBoth is still there"
there64 "$uninstall\\KeltVUeBoth" || fail "remove ue: the 64-bit KeltVUeBoth went with its 32-bit twin"
! there64 "$user_uninstall\\KeltVUeUser" || fail "remove ue: the user's KeltVUeUser is still there"
echo "views, ue: ok"

# --- File extensions: the same extension in the user's and the machine's classes --------------
out=$(win "$cli" scan fe)
expect_eq "$(ours <<<"$out" | cut -f2,5)" "$(printf '%s\n' ".keltvboth${tab}HKLM\\SOFTWARE\\Classes" \
  ".keltvboth${tab}HKCU\\Software\\Classes")" "scan fe: one finding per hive"
remove_only fe 'keltvboth.*HKCU' >/dev/null
! there64 'HKCU\Software\Classes\.keltvboth' || fail "remove fe: the user's .keltvboth is still there"
there64 'HKLM\Software\Classes\.keltvboth' || fail "remove fe: the machine's .keltvboth went with the user's"
echo "views, fe: ok"

# --- ActiveX: 32-bit classes, a user's class, a server a 32-bit program finds in SysWOW64 -------
ax_row() { row x "$1" 'Missing Path(Removable)' "$(clsid "$2")" "$3"; }
out=$(win "$cli" scan ax)
expect_eq "$(ours <<<"$out")" "$(printf '%s\n' \
  "$(ax_row "$in_system32" 4 'HKLM\SOFTWARE\Classes\CLSID')" \
  "$(ax_row 'C:\KeltVGone\gone32.dll' 1 'HKLM\SOFTWARE\Classes\WOW6432Node\CLSID')" \
  "$(ax_row 'C:\KeltVGone\user.dll' 3 'HKCU\Software\Classes\CLSID')")" \
  "scan ax: the classes whose server is missing, each with its key"
remove_only ax 'KeltVGone.*0000320' >/dev/null
! there32 "HKCR\\CLSID\\$(clsid 1)" || fail "remove ax: the 32-bit class is still there"
! there64 "HKCU\\Software\\Classes\\CLSID\\$(clsid 3)" || fail "remove ax: the user's class is still there"
there64 "HKLM\\Software\\Classes\\CLSID\\$(clsid 4)" && there32 "HKCR\\CLSID\\$(clsid 2)" ||
  fail "remove ax: an unchecked class went"
echo "views, ax: ok"

# --- Deep analysis: the same data in both views ------------------------------------------------
out=$(win "$cli" scan da)
expect_eq "$(ours <<<"$out" | grep KeltVDeep | cut -f2-)" \
  "$(row "$in_system32" 'Missing Path(Removable)' Dll 'HKLM\SOFTWARE\KeltVDeep64')" \
  "scan da: only the 64-bit value misses its file"
echo "views, da: ok"

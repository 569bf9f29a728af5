#!/usr/bin/env bash
# What the shipped programs load before their first line runs. For a DLL a program imports,
# Windows looks in the program's own folder first, unless the DLL is one of its KnownDLLs: a DLL
# planted beside a portable copy would run inside an elevated process. So each program imports
# KnownDLLs only (every other DLL is loaded at run time from the system folder), delay-loads
# nothing, and carries a manifest, without which a "<program>.local" folder beside it would be
# searched before the system folder.
#
# program_imports.sh OBJDUMP PROGRAM...
set -euo pipefail

# The KnownDLLs of Windows 10 and 11 (HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\
# KnownDLLs), and ntdll.dll, which every process has loaded before its imports are resolved.
known_dlls=(
  advapi32 clbcatq combase comdlg32 coml2 difxapi gdi32 gdiplus imagehlp imm32 kernel32 msctf
  msvcrt normaliz nsi ntdll ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi
  user32 wldap32 ws2_32
)

fail() { echo "FAIL: $*" >&2; exit 1; }

objdump=$1
shift
[ $# -gt 0 ] || fail "no program to check"
for program in "$@"; do
  name=$(basename "$program")
  headers=$("$objdump" -p "$program") || fail "$name: objdump could not read it"
  imports=$(sed -n 's/^\tDLL Name: //p' <<<"$headers")
  [ -n "$imports" ] || fail "$name: no import table found"
  for dll in $imports; do
    base=${dll,,}
    base=${base%.dll}
    [[ " ${known_dlls[*]} " == *" $base "* ]] ||
      fail "$name imports $dll, which is not a KnownDLL: load it at run time from the system folder (src/platform/win32/SystemLibrary.h)"
  done
  grep -Eq '^Entry d 0+ 0+ Delay Import Directory' <<<"$headers" || fail "$name delay-loads a DLL"
  grep -aq requestedExecutionLevel "$program" || fail "$name carries no manifest"
  echo "$name: $(tr '\n' ' ' <<<"$imports")"
done

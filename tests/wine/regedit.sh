#!/usr/bin/env bash
# What Wine's regedit and reg do with the files and keys the program and its tests hand them:
# an ASCII .reg file without byte-order mark imports, and the hex(2) and hex(7) data in such a
# file are ANSI bytes (in a UTF-16 file they are UTF-16LE); /e writes UTF-16LE with a BOM and
# CR LF, values sorted by name; an import of a missing file exits 0 and says so on stdout. The
# fixtures, the .reg reader of the memory registry and the backup commands rely on these.
set -euo pipefail
: "${KELTORA_WINE_RUN:?}" "${KELTORA_SCRATCH:?}"
run() { "$KELTORA_WINE_RUN" "$@"; }
passed=0 failures=0
check() {  # check NAME COMMAND...: one line per check, and the counts at the end
    if "${@:2}"; then echo "ok   $1"; passed=$((passed + 1)); else echo "FAIL $1"; failures=$((failures + 1)); fi
}

rm -rf "$KELTORA_SCRATCH"
mkdir -p "$KELTORA_SCRATCH"
cd "$KELTORA_SCRATCH"
key='HKEY_CURRENT_USER\Software\KeltoraRegeditTest'
run reg delete "$key" /f >/dev/null 2>&1 || true

# An ASCII file, CR LF lines, no byte-order mark: the form the fixtures are written in.
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    "[$key]" '"Text"="hello world"' '"Number"=dword:0000002a' '"Bytes"=hex:01,02,ff' \
    '"Expand"=hex(2):25,54,45,4d,50,25,00' '"Multi"=hex(7):61,00,62,63,00,00' '@="default"' '' \
    "[$key\\Sub Key]" '"Path"="C:\\Program Files\\App\\app.exe"' '' >import.reg
check "regedit /s imports an ASCII file without BOM" run regedit /s import.reg

query() { run reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | grep -E "^ +$1 " || true; }
check "REG_SZ imported" test "$(query Text)" == "    Text    REG_SZ    hello world"
check "REG_DWORD imported" test "$(query Number)" == "    Number    REG_DWORD    0x2a"
check "REG_BINARY imported" test "$(query Bytes)" == "    Bytes    REG_BINARY    0102FF"
check "REG_EXPAND_SZ imported from ANSI bytes" test "$(query Expand)" == "    Expand    REG_EXPAND_SZ    %TEMP%"
check "REG_MULTI_SZ imported from ANSI bytes" test "$(query Multi)" == "    Multi    REG_MULTI_SZ    a\\0bc"
check "escaped backslashes imported" \
    bash -c "'$KELTORA_WINE_RUN' reg query '$key\\Sub Key' /v Path | tr -d '\r' | grep -F 'C:\\Program Files\\App\\app.exe' >/dev/null"

# An export is UTF-16LE with a byte-order mark and CR LF line ends.
check "regedit /e exports the key" run regedit /e export.reg "$key"
check "the export starts with the UTF-16LE BOM" test "$(head -c 2 export.reg | od -An -tx1 | tr -d ' ')" == "fffe"
iconv -f UTF-16LE -t UTF-8 export.reg | sed '1s/^\xef\xbb\xbf//' >export.txt
check "the export has the 5.00 header" test "$(head -n1 export.txt | tr -d '\r')" == "Windows Registry Editor Version 5.00"
check "the export has CR LF line ends" grep -q $'\r$' export.txt
check "the export holds the string value" grep -qF '"Text"="hello world"' export.txt
check "the export holds the subkey" grep -qF "[$key\\Sub Key]" export.txt
check "the export has hex(2) as UTF-16LE" grep -qF '"Expand"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00' export.txt
check "the export lists values sorted by name" test "$(grep -oE '^"[A-Za-z]+"' export.txt | tr -d '"\n')" == "BytesExpandMultiNumberTextPath"

# A UTF-16LE file with a BOM, as regedit /e writes it, imports back.
printf '\xff\xfe' >reimport.reg
sed 's/hello world/hello again/' export.txt | iconv -f UTF-8 -t UTF-16LE >>reimport.reg
check "regedit /s imports its own UTF-16LE export" run regedit /s reimport.reg
check "the reimported value" test "$(query Text)" == "    Text    REG_SZ    hello again"
check "the reimported expand string" test "$(query Expand)" == "    Expand    REG_EXPAND_SZ    %TEMP%"

# A key deleted with reg is gone for regedit too.
check "reg delete removes the tree" run reg delete "$key" /f
check "the deleted key cannot be queried" bash -c "! '$KELTORA_WINE_RUN' reg query '$key' >/dev/null 2>&1"

# An import of a file that does not exist reports it on stdout but exits 0: the exit code of
# regedit does not tell a restore that failed.
missing_out="$(run regedit /s missing.reg 2>/dev/null)" && missing_rc=0 || missing_rc=$?
check "regedit /s of a missing file exits 0" test "$missing_rc" == 0
check "regedit /s of a missing file says so on stdout" grep -q "missing.reg" <<<"$missing_out"

echo "$passed passed, $failures failed"
((failures == 0))

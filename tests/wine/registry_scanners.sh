#!/usr/bin/env bash
# keltora-cli against the real registry of a Wine prefix for the uninstall, extension, ActiveX,
# deep-analysis and recent-documents categories: fixtures/registry-scanners.reg imported with
# regedit, the lists compared exactly, the removals checked with reg query. Every fixture row
# holds "Kelt" (never "Keltora", which the program's own entries hold) or the fixture's class-id
# stem 4B454C54 ("KELT" in hex); every other finding of the prefix is left out of the comparisons
# and kept unchecked, so a removal here touches nothing else.
set -euo pipefail
WINE_RUN="$KELTORA_WINE_RUN"
source "$(dirname "$0")/../../tools/lib/seed.sh"
cli="$KELTORA_BIN/keltora-cli.exe"

marker='kelt[^o]|4b454c54'
# The fixture's rows of a printed list, after its two header lines, and the other rows.
ours() { awk -v m="$marker" 'NR > 2 && tolower($0) ~ m'; }
theirs() { awk -v m="$marker" 'NR > 2 && tolower($0) !~ m'; }
# 0-based rows of a printed list to uncheck: the prefix's own, and ours that match a pattern.
rows_to_keep() {
  awk -v m="$marker" -v keep="${1:-^$}" 'NR > 2 && (tolower($0) !~ m || $0 ~ keep) { printf "%s%d", (n++ ? "," : ""), NR - 3 }'
}
# remove CODE, keeping the rows rows_to_keep picks from a fresh scan; the prefix's own findings
# must all be listed afterwards, as they were.
remove_keeping() {
  local before rows out
  before=$(win "$cli" scan "$1")
  rows=$(rows_to_keep "${2:-}" <<<"$before")
  if [ -n "$rows" ]; then out=$(win "$cli" remove "$1" --uncheck "$rows"); else out=$(win "$cli" remove "$1"); fi
  expect_eq "$(theirs <<<"$out" | cut -f2-)" "$(theirs <<<"$before" | cut -f2-)" "remove $1: the prefix's own findings"
  echo "$out"
}
has_key() { "$WINE_RUN" reg query "$1" >/dev/null 2>&1; }
must_have_key() { has_key "$1" || fail "key $1 is gone"; }
must_lack_key() { ! has_key "$1" || fail "key $1 is still there"; }
# The data of a key's unnamed value as reg shows it, or nothing.
default_value() { win reg query "$1" /ve 2>/dev/null | awk -F'    ' '!found && /REG_SZ/ { print $4; found = 1 }'; }

uninstall='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
long_name="Kelt$(printf '%0251d' 0 | tr 0 n)"

# A clean start: the fixture's keys afresh, no ignore files of these categories.
for key in "$uninstall\\KeltNoValues" "$uninstall\\KeltDefaultOnly" "$uninstall\\KeltDisplayName" \
           "$uninstall\\KeltInstallSource" "$uninstall\\KeltEmptyUninstallString" "$uninstall\\KeltSubtree" \
           "$uninstall\\KeltKept" "$uninstall\\Kelt %TEMP% \"q\" .." "$uninstall\\$long_name" \
           'HKCR\.keltempty' 'HKCR\.keltnodefault' 'HKCR\.kelttyped' 'HKCR\.keltsub' 'HKCR\.keltdup' 'HKCR\xkeltdup' \
           'HKCR\.KeltMixed' 'HKCR\xkeltmixed' 'HKCR\.kelt%q' 'HKLM\SOFTWARE\KeltDeep' 'HKCU\Software\KeltDeep'; do
  reg_delete_key "$key"
done
for n in 1 2 3 4 5 6 7 8 9 A; do reg_delete_key "HKCR\\CLSID\\{4B454C54-0000-0000-0000-00000000000$n}"; done
rm -f "$(program_files_unix)/Keltora Pro/Data"{ue,fe,ax,pc}.dat
reg_import "$KELTORA_FIXTURES/registry-scanners.reg"

recent=$(shell_folder_unix Recent) || fail "no Recent folder in the prefix"
recent_win=$(reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' Recent)
mkdir -p "$recent"
rm -rf "$recent"/kelt-*
head -c 1536 /dev/zero >"$recent/kelt-a.lnk"
head -c 12 /dev/zero >"$recent/kelt-b.lnk"
echo note >"$recent/kelt-note.txt"
mkdir "$recent/kelt-folder.lnk"

tab=$'\t'
row() { local IFS="$tab"; echo "$*"; }
registry_header=$(row 'Error Items' 'Repair Report' 'Detail Info' 'Registry Location')

# --- Uninstall entries ------------------------------------------------------------------------
ue_row() { row "$1" "$2" 'Missing Uninstall Key(Removable)' "$2" "$uninstall\\$2"; }
out=$(win "$cli" scan ue)
expect_eq "$(sed -n 2p <<<"$out")" "$registry_header" "scan ue: columns"
expect_eq "$(ours <<<"$out")" "$(printf '%s\n' "$(ue_row x 'Kelt %TEMP% "q" ..')" "$(ue_row x KeltDefaultOnly)" \
  "$(ue_row x KeltKept)" "$(ue_row x "$long_name")" "$(ue_row x KeltNoValues)" "$(ue_row x KeltSubtree)")" \
  "scan ue: the subkeys without a registration value, in the registry's order"
echo "scan ue: ok"

out=$(remove_keeping ue KeltKept)
expect_eq "$(ours <<<"$out")" "$(ue_row - KeltKept)" "remove ue: what is left"
for gone in KeltNoValues KeltDefaultOnly KeltSubtree 'Kelt %TEMP% "q" ..' "$long_name"; do
  must_lack_key "$uninstall\\$gone"
done
for kept in KeltKept KeltDisplayName KeltInstallSource KeltEmptyUninstallString; do must_have_key "$uninstall\\$kept"; done
echo "remove ue: ok"

# --- File extensions --------------------------------------------------------------------------
fe_row() { row "$1" "$2" 'Unused Extension(Removable)' 'Empty Key' 'HKLM\SOFTWARE\Classes'; }
out=$(win "$cli" scan fe)
# "xkeltdup" repeats .keltdup in lower case and is dropped; "xkeltmixed" gives .keltmixed, which
# the earlier mixed-case .KeltMixed does not hide.
expect_eq "$(ours <<<"$out")" "$(printf '%s\n' "$(fe_row x .kelt%q)" "$(fe_row x .keltdup)" "$(fe_row x .keltempty)" \
  "$(fe_row x .KeltMixed)" "$(fe_row x .keltnodefault)" "$(fe_row x .keltsub)" "$(fe_row x .keltmixed)")" \
  "scan fe: the extension keys without a file type"
echo "scan fe: ok"

# Ignoring .keltnodefault hides it from the next process too.
row_of() { awk -v text="$1" -F"$tab" '!found && NR > 2 && $2 == text { print NR - 3; found = 1 }'; }
win "$cli" ignore fe "$(win "$cli" scan fe | row_of .keltnodefault)" >/dev/null
out=$(win "$cli" scan fe)
! grep -q "${tab}.keltnodefault${tab}" <<<"$out" || fail "ignored .keltnodefault is listed again"
grep -qxF '.keltnodefault=HKLM\SOFTWARE\Classes' <(tr -d '\r' <"$(program_files_unix)/Keltora Pro/Datafe.dat") ||
  fail "Datafe.dat does not hold the entry"
echo "ignore fe: ok"

out=$(remove_keeping fe '\.keltempty')
expect_eq "$(ours <<<"$out")" "$(fe_row - .keltempty)" "remove fe: what is left"
for gone in .keltdup .KeltMixed .keltsub .kelt%q; do must_lack_key "HKCR\\$gone"; done
for kept in .keltempty .keltnodefault .kelttyped xkeltdup xkeltmixed; do must_have_key "HKCR\\$kept"; done
echo "remove fe: ok"

# --- ActiveX ----------------------------------------------------------------------------------
clsid() { echo "{4B454C54-0000-0000-0000-00000000000$1}"; }
ax_row() { row "$1" "$2" 'Missing Path(Removable)' "$(clsid "$3")" 'HKLM\SOFTWARE\Classes\CLSID'; }
out=$(win "$cli" scan ax)
# Present: the quoted path, %SystemRoot%, %windir% and %SYSTEMROOT% (variables in any case), the
# bare name in system32. Missing: a folder, files that are not there.
expect_eq "$(ours <<<"$out")" "$(printf '%s\n' "$(ax_row x 'C:\windows' 4)" \
  "$(ax_row x '%SystemRoot%\system32\keltgone.dll' 5)" "$(ax_row x keltgone.dll 6)" \
  "$(ax_row x keltgone2.dll 8)")" \
  "scan ax: the classes whose server is missing"
echo "scan ax: ok"

out=$(remove_keeping ax "${tab}keltgone\\.dll${tab}")
expect_eq "$(ours <<<"$out")" "$(ax_row - keltgone.dll 6)" "remove ax: what is left"
for gone in 4 5 8; do must_lack_key "HKCR\\CLSID\\$(clsid $gone)"; done
for kept in 1 2 3 6 7 9 A; do must_have_key "HKCR\\CLSID\\$(clsid $kept)"; done
echo "remove ax: ok"

# --- Deep analysis ----------------------------------------------------------------------------
da_row() { row "$1" "$2" 'Missing Path(Removable)' "$3" "$4"; }
deep='HKLM\SOFTWARE\KeltDeep'
long_path="C:\\KeltGone\\$(printf '%0243d' 0 | tr 0 x)"
out=$(win "$cli" scan da)
# Wine lists a key's values by name. The prefix is "C:\" although the system root is C:\windows.
expect_eq "$(ours <<<"$out")" "$(printf '%s\n' \
  "$(da_row x 'C:\KeltGone\default.exe' '(Default)' "$deep")" \
  "$(da_row x 'C:\KeltGone\app.exe' App "$deep")" \
  "$(da_row x 'C:\KeltGone\app.exe,0' AppIcon "$deep")" \
  "$(da_row x "$long_path" Long255 "$deep")" \
  "$(da_row x 'C:\KeltGone\page.htm' Page "$deep\\L2")" \
  "$(da_row x 'C:\KeltGone\icon.exe' Icon "$deep\\L2\\L3")" \
  "$(da_row x 'C:\KeltGone\tool.exe ' Tool "$deep\\L2\\L3\\L4")" \
  "$(da_row x 'C:\KeltGone\named.exe' '(Default)' "$deep\\Named")" \
  "$(da_row x 'C:\KeltGone\odd3' '%PATH%' "$deep\\Odd")" \
  "$(da_row x 'C:\KeltGone\odd2' .. "$deep\\Odd")" \
  "$(da_row x 'C:\KeltGone\odd1' 'a\b' "$deep\\Odd")" \
  "$(da_row x 'C:\KeltGone\odd4' 'say "x"' "$deep\\Odd")" \
  "$(da_row x 'C:\KeltGone\Dir' Dir 'HKCU\SOFTWARE\KeltDeep\L2\L3\L4\L5')" \
  "$(da_row x 'C:\KeltGone\own.exe' Own 'HKCU\SOFTWARE\KeltDeep\L2\L3\Uninstall')" \
  "$(da_row x 'C:\KeltGone\LowerCase' Dir 'HKCU\SOFTWARE\KeltDeep\L2\M3\uninstall\App')")" \
  "scan da: one value per level, in walk order"
echo "scan da: ok"

out=$(remove_keeping da 'AppIcon')
expect_eq "$(ours <<<"$out")" "$(da_row - 'C:\KeltGone\app.exe,0' AppIcon "$deep")" "remove da: what is left"
expect_eq "$(default_value "$deep")" "" "remove da: the unnamed value is emptied"
has_key "$deep" && reg_has_value "$deep" AppIcon || fail "unchecked AppIcon was deleted"
for gone in App Long255 Page; do ! reg_has_value "$deep" "$gone" && ! reg_has_value "$deep\\L2" "$gone" ||
  fail "value $gone is still there"; done
for kept in Exists Lower Long256; do reg_has_value "$deep" "$kept" || fail "value $kept was deleted"; done
# The value really named "(Default)" went; the unnamed value beside it is untouched.
expect_eq "$(default_value "$deep\\Named")" 'C:\windows' "remove da: the unnamed value of Named"
! reg_has_value "$deep\\Named" '(Default)' || fail 'the value named "(Default)" is still there'
expect_eq "$(win reg query "$deep\\Odd" | grep -c REG_SZ)" 1 "remove da: only Keep is left in Odd"
reg_has_value "$deep\\Odd" Keep || fail "Keep was deleted"
reg_has_value 'HKCU\Software\KeltDeep\L2\L3\Uninstall\App' Dir || fail "the exempt value was touched"
echo "remove da: ok"

# --- Recent documents -------------------------------------------------------------------------
pc_row() { row "$1" "$2" Remove 'All items listed in Recent Documents' "$recent_win\\" "$3"; }
out=$(win "$cli" scan pc)
expect_eq "$(sed -n 2p <<<"$out")" "$(row 'File Names' 'Repair Report' 'Detail Info' 'Path Location' Size)" \
  "scan pc: columns"
expect_eq "$(ours <<<"$out" | sort)" "$(printf '%s\n' "$(pc_row x kelt-a.lnk '1.50 KB')" "$(pc_row x kelt-b.lnk '12 bytes')")" \
  "scan pc: the shortcuts, and neither the text file nor the folder"
echo "scan pc: ok"
out=$(remove_keeping pc 'kelt-b')
expect_eq "$(ours <<<"$out")" "$(pc_row - kelt-b.lnk '12 bytes')" "remove pc: what is left"
[ ! -e "$recent/kelt-a.lnk" ] || fail "kelt-a.lnk is still there"
[ -e "$recent/kelt-b.lnk" ] && [ -e "$recent/kelt-note.txt" ] && [ -d "$recent/kelt-folder.lnk" ] ||
  fail "remove pc deleted what it was not to"
echo "remove pc: ok"

# --- All five in one process ------------------------------------------------------------------
expect_eq "$(win "$cli" scan ue fe ax da pc | grep -c '^== ')" 5 "scan ue fe ax da pc: five lists"
echo "scan ue fe ax da pc: ok"

#!/usr/bin/env bash
# What scripts rely on from keltora-cli under Wine: --json documents that parse (ANSI texts as
# UTF-8), a dry run that leaves the registry and the Startup folder as they were, and the exit
# statuses 2, 3 and 4. (Status 5 needs a process without an administrator's token, which Wine
# does not give; the native suite covers it.)
set -euo pipefail
WINE_RUN="$KELTORA_WINE_RUN"
source "$(dirname "$0")/../../tools/lib/seed.sh"
cli="$KELTORA_BIN/keltora-cli.exe"
json() { /usr/bin/python3 -c "import json, sys; d = json.load(sys.stdin); $1"; }
status_of() { set +e; win "$cli" "$@" >/dev/null 2>&1; echo $?; set -e; }

startup=$(seed_startup_clutter "$KELTORA_FIXTURES")
keltora="$(program_files_unix)/Keltora Professional"
rm -rf "$keltora/startbug" "$(program_files_unix)/Keltora Pro"
hkcu='HKCU\Software\Microsoft\Windows\CurrentVersion'
"$WINE_RUN" reg add "$hkcu\\Run" /v 'Café' /d 'C:\café.exe' /f >/dev/null

out=$(win "$cli" --json scan sp)
/usr/bin/python3 -m json.tool <<<"$out" >/dev/null || fail "--json scan sp does not parse: $out"
json 'assert d["status"] == 0 and d["code"] == "sp" and d["list"] == "lvsp", d
assert any(f["caption"] == "Café" and f["subItems"][1] == "C:\\café.exe" for f in d["findings"]), d' <<<"$out" \
  || fail "--json scan sp: not the document expected"
echo "--json scan sp: ok"

out=$(win "$cli" --json fullscan --rows 1,2,9)
/usr/bin/python3 -m json.tool <<<"$out" >/dev/null || fail "--json fullscan does not parse"
json 'assert d["status"] == 0 and d["code"] == "all" and len(d["findings"]) == 28, d
assert d["totals"]["errors"] >= 8 and [l["code"] for l in d["lists"]] == ["sp", "ue", "run"], d' <<<"$out" \
  || fail "--json fullscan: not the document expected"
echo "--json fullscan: ok"

# A dry run decides and prints, and changes nothing.
state() { for key in "${RUN_KEYS[@]}"; do win reg query "$key"; done; ls -A "$startup"; }
before=$(state)
rc=$(status_of remove sp --dry-run)
[[ "$rc" =~ ^[03]$ ]] || fail "remove sp --dry-run: exit $rc"
expect_eq "$(state)" "$before" "remove sp --dry-run changed the Run keys or the Startup folder"
[ ! -e "$keltora/startbug/notes.lnk" ] || fail "remove sp --dry-run moved a file"
out=$(win "$cli" --json remove sp --dry-run || true)
json 'assert d["dryRun"] is True and sum(d["removal"].values()) == 9, d
assert len(d["wouldRemove"]) == d["removal"]["removed"] and len(d["wouldRemove"]) + len(d["wouldStay"]) == 9, d
assert all(f["why"] for f in d["wouldStay"]), d' <<<"$out" || fail "--json remove sp --dry-run: $out"
# The text preview: every finding marked, then the counts.
preview=$(win "$cli" remove sp --dry-run 2>/dev/null || true)
[ "$(grep -c $'^would \(remove\|stay\)\tsp\t' <<<"$preview")" = 9 ] || fail "remove sp --dry-run: not 9 findings marked: $preview"
tail -n 1 <<<"$preview" | grep -qx 'sp: [0-9]* would be removed, [0-9]* would stay' || fail "remove sp --dry-run: no counts: $preview"
echo "remove sp --dry-run: ok"

[ "$(status_of --pace nan scan sp)" = 2 ] || fail "--pace nan: not exit 2"

# The help on stdout (exit 0), every category of the table in it; nothing at all: the usage on
# stderr, exit 2; a code in any case and an option after the command.
help=$(win "$cli" /?)
for code in sp ue da tempie; do
  grep -q "^  $code " <<<"$help" || fail "keltora-cli /? does not list $code: $help"
done
[ "$(status_of)" = 2 ] || fail "keltora-cli without arguments: not exit 2"
set +e
bare_out=$(win "$cli" 2>/dev/null); bare_err=$(win "$cli" 2>&1 >/dev/null)
set -e
[ -z "$bare_out" ] && grep -q '^usage: keltora-cli' <<<"$bare_err" || fail "keltora-cli without arguments: not the usage on stderr"
out=$(win "$cli" scan SP --json)
json 'assert d["status"] == 0 and d["code"] == "sp", d' <<<"$out" || fail "scan SP --json: $out"
echo "help and input: ok"

# Progress is for a console only: a full scan whose stderr is a pipe or a file prints none.
set +e
said=$(win "$cli" --pace 0.2 fullscan --rows 1,12 2>&1 >/dev/null)
set -e
! grep -q $'\r\|%' <<<"$said" || fail "fullscan with stderr redirected shows progress: $said"
echo "no progress in redirected output: ok"

# A file the startbug folder holds already cannot be moved there: it stays listed (3).
mkdir -p "$keltora/startbug"
echo earlier >"$keltora/startbug/notes.lnk"
set +e
said=$(win "$cli" remove sp 2>&1 >/dev/null); rc=$?
set -e
[ "$rc" = 3 ] || fail "remove sp with a finding that cannot be removed: exit $rc, not 3"
[ -e "$startup/notes.lnk" ] || fail "notes.lnk left the Startup folder"
# What it did, on stderr, and the undo journals that keep what left the registry: the user's own
# (the Run values of HKEY_CURRENT_USER) and the administrator's (those of HKEY_LOCAL_MACHINE).
grep -q '^[0-9]* removed, .* 1 could not be removed and stay listed; the undo journals UserUndo_[^ ]*\.reg and Undo_[^ ]*\.reg keep what left the registry (keltora-cli undo UserUndo_[^ ]* and keltora-cli undo Undo_[^ ]* restore it)$' <<<"$said" \
  || fail "remove sp: not what it did on stderr: $said"

# No Backups folder to write to: the backup and the repair that needs it stop (4), nothing
# is removed.
seed_startup_clutter "$KELTORA_FIXTURES" >/dev/null  # also drops the Café value
mv "$keltora/Backups" "$keltora/Backups.aside"
touch "$keltora/Backups"
rc_backup=$(status_of backup)
rc_repair=$(status_of repair --rows 1 --backup)
rm "$keltora/Backups"
mv "$keltora/Backups.aside" "$keltora/Backups"
[ "$rc_backup" = 4 ] && [ "$rc_repair" = 4 ] || fail "no backup possible: exits $rc_backup and $rc_repair, not 4"
reg_has_value "$hkcu\\Run" Updater || fail "a repair without its backup removed Updater"
rm -rf "$keltora/startbug"
echo "exit statuses: ok"

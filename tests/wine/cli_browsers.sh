#!/usr/bin/env bash
# keltora-cli against made-up profiles of the four browsers in a Wine prefix: Edge, Chrome and
# Brave with two profiles each named by Local State, Firefox with a profile of profiles.ini and
# two more whose paths leave the user's folders (one by "..", one absolute). The databases are
# made by keltora_browser_data.exe with the tables and columns the browsers use; no real user's
# data. Each category is scanned and cleaned: the checked sites' cookies go and the unchecked
# stay, a site on the ignore list stays with its history, bookmarks stay; a browser whose lock is
# held (Chrome's lockfile, Firefox's parent.lock) or whose program runs is left and said (exit 3),
# and its dry run says why each finding would stay; a lock file left behind holds nothing back;
# nothing outside the user's folders is listed or touched; `--json scan edge` parses.
set -euo pipefail
WINE_RUN="$KELTORA_WINE_RUN"
source "$(dirname "$0")/../../tools/lib/seed.sh"
cli="$KELTORA_BIN/keltora-cli.exe"
data="$KELTORA_BIN/keltora_browser_data.exe"
helper="$KELTORA_BIN/keltora_wine_privacy.exe"
tag=keltora-browsers
scratch="$KELTORA_SCRATCH"
rm -rf "$scratch" && mkdir -p "$scratch"
trap 'status=$?; [[ $- != *e* ]] || echo "FAIL: line $LINENO: $BASH_COMMAND ended the script (status $status)" >&2' ERR

local_app=$(win cmd /c 'echo %LOCALAPPDATA%')
roaming=$(win cmd /c 'echo %APPDATA%')
unix_of() { win_path -u "$1"; }
local_unix=$(unix_of "$local_app")
roaming_unix=$(unix_of "$roaming")
declare -A user_data=(
  [edge]='Microsoft\Edge\User Data'
  [chrome]='Google\Chrome\User Data'
  [brave]='BraveSoftware\Brave-Browser\User Data'
)
firefox="$roaming\\Mozilla\\Firefox"
fox_profile="$firefox\\Profiles\\abc.default-release"
fox_unix="$roaming_unix/Mozilla/Firefox/Profiles/abc.default-release"
fox_cache="$local_unix/Mozilla/Firefox/Profiles/abc.default-release/cache2/entries"
outside="C:\\outside-$tag"

ignore_files=$(unix_of 'C:\Program Files\Keltora Pro')
# The prefix is this test's own: no browser keeps anything in it but what this script makes, and
# nothing of the browsers is set aside but what it sets aside.
cleanup() {
  rm -rf "$local_unix/Microsoft/Edge" "$local_unix/Google/Chrome" "$local_unix/BraveSoftware" \
    "$roaming_unix/Mozilla" "$local_unix/Mozilla" "$(unix_of "$outside")"
  rm -f "$ignore_files"/Data{edge,chrome,brave,firefox}.dat
}
trap cleanup EXIT
cleanup

count() { win "$data" count "$1" "$2"; }
# The rows of a listing whose caption is the one given, comma-separated (numbered from 0).
rows_of() { tail -n +3 <<<"$1" | awk -F'\t' -v caption="$2" '$2 == caption { printf "%s%d", (n++ ? "," : ""), NR - 1 }'; }
captions() { tail -n +3 | cut -f2 | sort; }

seed_chromium() {
  local code="$1" folder="$local_app\\${user_data[$1]}" unix
  unix=$(unix_of "$folder")
  rm -rf "$unix" && mkdir -p "$unix/Default/Cache/Cache_Data"
  echo '{"profile":{"info_cache":{"Default":{"name":"Person 1"},"Profile 1":{"name":"Work"}}}}' >"$unix/Local State"
  win "$data" chromium "$folder\\Default" tracker.example,ads.example,keep.example
  win "$data" chromium "$folder\\Profile 1" work.example
  echo cache >"$unix/Default/Cache/Cache_Data/f_000001"
  echo '{"roots":{}}' >"$unix/Default/Bookmarks"
}

# Firefox's own profile, made anew: its databases, its last session, its cache.
seed_fox_profile() {
  rm -f "$fox_unix"/*.sqlite*
  win "$data" firefox "$fox_profile" tracker.example,ads.example,keep.example
  echo session >"$fox_unix/sessionstore.jsonlz4"
  mkdir -p "$fox_cache"
  echo cache >"$fox_cache/0A1B"
}

seed_firefox() {
  local unix ups
  unix=$(unix_of "$firefox")
  mkdir -p "$unix"
  # As many ".." as lead from the Firefox folder up to the drive root.
  ups=$(printf '../%.0s' $(seq "$(tr -cd '\\' <<<"$firefox" | wc -c)"))
  printf '[Profile0]\nName=default-release\nIsRelative=1\nPath=Profiles/abc.default-release\nDefault=1\n\n' >"$unix/profiles.ini"
  printf '[Profile1]\nName=planted\nIsRelative=1\nPath=%soutside-%s\n\n' "$ups" "$tag" >>"$unix/profiles.ini"
  printf '[Profile2]\nName=absolute\nIsRelative=0\nPath=%s\\abs\n' "$outside" >>"$unix/profiles.ini"
  seed_fox_profile
  win "$data" firefox "$outside" outside.example
  win "$data" firefox "$outside\\abs" outside.example
}

for code in edge chrome brave; do seed_chromium "$code"; done
seed_firefox

# --- the listing -----------------------------------------------------------------------------

json=$(win "$cli" --json scan edge)
/usr/bin/python3 -m json.tool <<<"$json" >/dev/null || fail "--json scan edge does not parse: $json"
grep -qF '"caption":"Cookies: tracker.example"' <<<"$json" || fail "--json scan edge lacks a cookie site: $json"
out=$(win "$cli" scan edge)
expect_eq "$(captions <<<"$out" | uniq -c | sed 's/^ *//')" "$(printf '%s\n' '2 Browsing history' \
  '1 Cache' '1 Cookies: ads.example' '1 Cookies: keep.example' '1 Cookies: tracker.example' \
  '1 Cookies: work.example' '2 Download history')" "scan edge lists the items of both profiles"
grep -qF $'\tMicrosoft Edge: Person 1 (Default), 1 row\t' <<<"$out" || fail "scan edge does not name the profile: $out"
grep -qF $'\tMicrosoft Edge: Work (Profile 1), 1 row\t' <<<"$out" || fail "scan edge does not name Profile 1: $out"
echo "scan edge: ok"

# --- a site kept for good: ignored, it stays with its history ---------------------------------

row=$(rows_of "$out" 'Cookies: keep.example')
win "$cli" ignore edge "$row" >"$scratch/ignore.out"
grep -qF 'Cookies: keep.example' <(captions <"$scratch/ignore.out") && fail "ignore edge left the site listed"

# --- each browser cleaned: the checked sites go, the unchecked stay ---------------------------

for code in edge chrome brave firefox; do
  out=$(win "$cli" scan "$code")
  status=0
  win "$cli" remove "$code" --uncheck "$(rows_of "$out" 'Cookies: ads.example')" >"$scratch/$code.out" \
    2>"$scratch/$code.err" || status=$?
  [ "$status" = 0 ] || fail "remove $code: exit $status: $(cat "$scratch/$code.err")"
  expect_eq "$(captions <"$scratch/$code.out")" "Cookies: ads.example" "remove $code leaves the unchecked site only"
  if [ "$code" = firefox ]; then
    cookies="$fox_profile\\cookies.sqlite" places="$fox_profile\\places.sqlite"
    [ "$(count "$cookies" "SELECT count(*) FROM moz_cookies WHERE host = '.ads.example'")" = 1 ] ||
      fail "remove firefox took an unchecked site's cookies"
    [ "$(count "$cookies" "SELECT count(*) FROM moz_cookies")" = 1 ] || fail "remove firefox left checked cookies"
    [ "$(count "$places" "SELECT count(*) FROM moz_bookmarks")" = 1 ] || fail "remove firefox touched the bookmarks"
    [ "$(count "$places" "SELECT count(*) FROM moz_places WHERE id = 1")" = 1 ] ||
      fail "remove firefox took a bookmarked address"
    [ "$(count "$places" "SELECT count(*) FROM moz_historyvisits")" = 0 ] || fail "remove firefox left visits"
    [ "$(count "$fox_profile\\formhistory.sqlite" "SELECT count(*) FROM moz_formhistory")" = 0 ] ||
      fail "remove firefox left the form history"
    [ ! -e "$fox_unix/sessionstore.jsonlz4" ] || fail "remove firefox left the last session"
    [ ! -e "$fox_cache/0A1B" ] || fail "remove firefox left the cache"
  else
    profile="$local_app\\${user_data[$code]}\\Default"
    cookies="$profile\\Network\\Cookies"
    [ "$(count "$cookies" "SELECT count(*) FROM cookies WHERE host_key = '.ads.example'")" = 1 ] ||
      fail "remove $code took an unchecked site's cookies"
    kept=0 && [ "$code" = edge ] && kept=1
    [ "$(count "$cookies" "SELECT count(*) FROM cookies WHERE host_key = '.keep.example'")" = "$kept" ] ||
      fail "remove $code: the site on the ignore list"
    [ "$(count "$cookies" "SELECT count(*) FROM cookies WHERE host_key = '.tracker.example'")" = 0 ] ||
      fail "remove $code left a checked site's cookies"
    [ "$(count "$profile\\History" "SELECT count(*) FROM urls")" = "$kept" ] ||
      fail "remove $code: the history (the kept site's address stays)"
    [ "$(count "$profile\\History" "SELECT count(*) FROM downloads")" = 0 ] || fail "remove $code left downloads"
    [ "$(count "${profile%Default}Profile 1\\Network\\Cookies" "SELECT count(*) FROM cookies")" = 0 ] ||
      fail "remove $code left the second profile's cookies"
    unix=$(unix_of "$profile")
    [ -e "$unix/Bookmarks" ] || fail "remove $code deleted the bookmarks"
    [ ! -e "$unix/Cache/Cache_Data/f_000001" ] || fail "remove $code left the cache"
    [ -d "$unix/Cache/Cache_Data" ] || fail "remove $code deleted the cache folder itself"
  fi
  echo "scan and remove $code: ok"
done

# --- profiles outside the user's folders --------------------------------------------------------

win "$cli" scan firefox >"$scratch/fox.out" 2>"$scratch/fox.err"
grep -qF 'outside-' <(tail -n +3 "$scratch/fox.out") && fail "scan firefox listed a profile outside the user's folders"
for name in planted absolute; do
  grep -qF "the profile \"$name\"" "$scratch/fox.err" || fail "scan firefox did not say it skipped $name: $(cat "$scratch/fox.err")"
done
grep -qF "is outside the user's folders" "$scratch/fox.err" || fail "scan firefox did not say why: $(cat "$scratch/fox.err")"
for folder in "$outside" "$outside\\abs"; do
  [ "$(count "$folder\\cookies.sqlite" "SELECT count(*) FROM moz_cookies")" = 1 ] &&
    [ "$(count "$folder\\places.sqlite" "SELECT count(*) FROM moz_historyvisits")" = 1 ] ||
    fail "a removal reached the profile in $folder"
done
echo "profiles outside the user's folders: ok"

# --- a browser that runs ----------------------------------------------------------------------

# Chrome's lock held by another process: its findings are listed unchecked and the removal leaves
# them and says so (exit 3); once the lock is free they go.
marker="C:\\$tag-marker"
# Runs `remove CODE` while PROGRAM (the privacy helper, under some name) holds the file FILE
# open; its exit status. With a fourth argument, `remove CODE --dry-run` first, into CODE.dry.
remove_while_held() {
  local code="$1" program="$2" file="$3" holder status=0
  KELTORA_PRIVACY_HELPER="lock $marker|$file" "$WINE_RUN" "$program" &
  holder=$!
  for _ in $(seq 300); do [ -e "$(unix_of "$marker")" ] && break; sleep 0.1; done
  [ -e "$(unix_of "$marker")" ] || fail "$(basename "$program") did not start"
  [ -z "${4:-}" ] || win "$cli" remove "$code" --dry-run >"$scratch/$code.dry" 2>/dev/null || true
  win "$cli" remove "$code" >"$scratch/$code.out" 2>"$scratch/$code.err" || status=$?
  rm -f "$(unix_of "$marker")"
  wait "$holder" || true
  return "$status"
}

seed_chromium chrome
chrome="$local_app\\${user_data[chrome]}"
echo >"$(unix_of "$chrome")/lockfile"
status=0
remove_while_held chrome "$helper" "$chrome\\lockfile" || status=$?
[ "$status" = 3 ] || fail "remove chrome while its lock is held: exit $status, not 3: $(cat "$scratch/chrome.err")"
grep -qF 'Google Chrome runs, so 9 of its findings were left as they are. Close Google Chrome to clean' \
  "$scratch/chrome.err" || fail "remove chrome did not say why: $(cat "$scratch/chrome.err")"
[ "$(tail -n +3 "$scratch/chrome.out" | grep -c $'^-\t[^\t]*\tClose Google Chrome to clean\t')" = 9 ] ||
  fail "remove chrome did not leave its findings listed, unchecked: $(cat "$scratch/chrome.out")"
[ "$(count "$chrome\\Default\\Network\\Cookies" "SELECT count(*) FROM cookies")" = 3 ] ||
  fail "remove chrome took cookies while its lock was held"
win "$cli" remove chrome >/dev/null 2>"$scratch/chrome.err" || fail "remove chrome once free: $(cat "$scratch/chrome.err")"
[ "$(count "$chrome\\Default\\Network\\Cookies" "SELECT count(*) FROM cookies")" = 0 ] ||
  fail "remove chrome left the cookies once its lock was free"
echo "a browser whose lock is held: ok"

# Firefox's parent.lock held in its profile: the same, and the dry run says why each would stay.
# Firefox leaves the file behind when it ends: once free, it holds nothing back, dry run or not.
seed_fox_profile
echo >"$fox_unix/parent.lock"
databases=$(md5sum "$fox_unix"/*.sqlite)
status=0
remove_while_held firefox "$helper" "$fox_profile\\parent.lock" dry || status=$?
[ "$status" = 3 ] || fail "remove firefox while its lock is held: exit $status, not 3: $(cat "$scratch/firefox.err")"
grep -qF 'Mozilla Firefox runs, so 7 of its findings were left as they are. Close Mozilla Firefox to clean' \
  "$scratch/firefox.err" || fail "remove firefox did not say why: $(cat "$scratch/firefox.err")"
[ "$(tail -n +3 "$scratch/firefox.out" | grep -c $'^-\t[^\t]*\tClose Mozilla Firefox to clean\t')" = 7 ] ||
  fail "remove firefox did not leave its findings listed, unchecked: $(cat "$scratch/firefox.out")"
[ "$(grep -c $'^would stay\tfirefox\t[^\t]*\t[^\t]*\tClose Mozilla Firefox to clean$' "$scratch/firefox.dry")" = 7 ] &&
  [ "$(tail -n 1 "$scratch/firefox.dry")" = 'firefox: 0 would be removed, 7 would stay' ] ||
  fail "remove firefox --dry-run did not say why each would stay: $(cat "$scratch/firefox.dry")"
expect_eq "$(md5sum "$fox_unix"/*.sqlite)" "$databases" "the databases while Firefox's lock was held"
[ -e "$fox_unix/sessionstore.jsonlz4" ] && [ -e "$fox_cache/0A1B" ] || fail "remove firefox took files while held"
preview=$(win "$cli" remove firefox --dry-run 2>/dev/null) || true
[ "$(tail -n 1 <<<"$preview")" = 'firefox: 7 would be removed, 0 would stay' ] ||
  fail "remove firefox --dry-run once its lock was free: $preview"
win "$cli" remove firefox >/dev/null 2>"$scratch/firefox.err" || fail "remove firefox once free: $(cat "$scratch/firefox.err")"
[ "$(count "$fox_profile\\cookies.sqlite" "SELECT count(*) FROM moz_cookies")" = 0 ] && [ ! -e "$fox_cache/0A1B" ] ||
  fail "remove firefox left its findings once its lock was free"
echo "Firefox whose parent.lock is held: ok"

# Edge's program in the session (another program started as msedge.exe): the same.
seed_chromium edge
cp "$helper" "$scratch/msedge.exe"
echo held >"$scratch/held.txt"
status=0
remove_while_held edge "$scratch/msedge.exe" "$(win_path -w "$scratch/held.txt")" || status=$?
[ "$status" = 3 ] || fail "remove edge while msedge.exe runs: exit $status, not 3: $(cat "$scratch/edge.err")"
grep -qF 'Microsoft Edge runs' "$scratch/edge.err" || fail "remove edge did not say why: $(cat "$scratch/edge.err")"
[ "$(count "$local_app\\${user_data[edge]}\\Default\\Network\\Cookies" "SELECT count(*) FROM cookies")" = 3 ] ||
  fail "remove edge took cookies while msedge.exe ran"
echo "a browser whose program runs: ok"

# --- the summary -----------------------------------------------------------------------------

out=$(win "$cli" categories | sed -n 28,31p | cut -f1,5)
expect_eq "$out" "$(printf '%s\tWindows 10 and 11\n' edge chrome brave firefox | sed '$!b')" "categories"
json=$(win "$cli" --json fullscan --rows 28,29,30,31)
/usr/bin/python3 -m json.tool <<<"$json" >/dev/null || fail "--json fullscan does not parse"
grep -qE '"totals":\{"errors":[1-9][0-9]*,"privacy":[1-9][0-9]*\}' <<<"$json" || fail "fullscan --json: $json"
grep -qF '"caption":"Microsoft Edge","subItems":["' <<<"$json" || fail "fullscan --json has no Microsoft Edge row"
echo "categories and fullscan totals: ok"

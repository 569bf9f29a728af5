# Shell helpers shared by the demo and the Wine tests: seeding a prefix with clutter and reading
# it back. Source it after setting WINE_RUN to tools/wine-run.

# The Run keys the startup scan reads.
RUN_KEYS=(
  'HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
  'HKCU\Software\Microsoft\Windows\CurrentVersion\RunOnce'
  'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
  'HKLM\SOFTWARE\WOW6432Node\Microsoft\Windows\CurrentVersion\Run'
)

# Runs a Windows program in the prefix with Wine's carriage returns taken off its output.
win() { "$WINE_RUN" "$@" | tr -d '\r'; }

# winepath, asked a second time when it fails: on a loaded machine Wine now and then fails to
# start it at all ("ShellExecuteEx failed: Internal error"), which is no answer about the path.
win_path() { win winepath "$@" 2>/dev/null || { sleep 1; win winepath "$@"; }; }

# Deletes a key with everything below it; a missing key is no error.
reg_delete_key() { "$WINE_RUN" reg delete "$1" /f >/dev/null 2>&1 || true; }

# Imports a .reg file from the Linux side.
reg_import() {
  local file
  file=$(win_path -w "$1")
  "$WINE_RUN" regedit /s "$file"
}

# The data of one value, or nothing when it is missing (names compare as the registry does).
# Every reader of a pipe here reads to its end: one that stopped early would end the writer with
# a broken pipe, which pipefail reports as a failure of the whole line.
reg_value() {
  win reg query "$1" /v "$2" 2>/dev/null | awk -v name="$2" '
    BEGIN { prefix = tolower("    " name "    REG_") }
    !found && index(tolower($0), prefix) == 1 {
      rest = substr($0, length(prefix) + 1)
      cut = index(rest, "    ")
      print (cut ? substr(rest, cut + 4) : "")
      found = 1
    }'
}

# Whether a value exists.
reg_has_value() { "$WINE_RUN" reg query "$1" /v "$2" >/dev/null 2>&1; }

# A folder of the user's Shell Folders key, as a Linux path.
shell_folder_unix() {
  local windows
  windows=$(reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' "$1")
  [ -n "$windows" ] || return 1
  win_path -u "$windows"
}

# The program's own folders in the prefix, as Linux paths.
program_files_unix() { win_path -u 'C:\Program Files'; }

# Startup clutter: the Run keys hold only fixtures/startup.reg (the program's own
# "KeltoraPro" value among them) and the Startup folder one shortcut, a desktop.ini and one
# subfolder. Prints the Startup folder's Linux path.
seed_startup_clutter() {
  local fixtures="$1" key startup
  for key in "${RUN_KEYS[@]}"; do reg_delete_key "$key"; done
  reg_import "$fixtures/startup.reg"
  startup=$(shell_folder_unix Startup) || { echo "seed: no Startup folder in the prefix" >&2; return 1; }
  rm -rf "$startup"
  mkdir -p "$startup/Tools"
  echo shortcut >"$startup/notes.lnk"
  echo ini >"$startup/desktop.ini"
  echo "$startup"
}

# Test verdicts: a failure ends the script with its reason; a mismatch shows the difference.
fail() { echo "FAIL: $*" >&2; exit 1; }
expect_eq() {
  if [ "$1" != "$2" ]; then
    diff <(printf '%s\n' "$2") <(printf '%s\n' "$1") >&2 || true
    fail "$3"
  fi
}

# A file of the given size below a Windows folder of the prefix.
seed_file() {
  local folder
  folder=$(win_path -u "$1")
  mkdir -p "$folder"
  head -c "${3:-2048}" /dev/zero >"$folder/$2"
}

# Clutter for every category: the startup clutter, dead registry entries, typed history, and
# files where the privacy scans look (cookies, history, cache, temporary files, a dump, a chkdsk
# fragment, a log, a recent document).
seed_full_clutter() {
  local fixtures="$1" folders windows
  seed_startup_clutter "$fixtures" >/dev/null
  reg_import "$fixtures/registry-scanners.reg"
  reg_import "$fixtures/demo-history.reg"
  folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
  windows=$(reg_value 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion' SystemRoot)
  seed_file "$(reg_value "$folders" Cookies)" 'root@doubleclick[1].txt'
  seed_file "$(reg_value "$folders" Cookies)" 'root@example[1].txt'
  seed_file "$(reg_value "$folders" History)\\History.IE5\\MSHist012020010120200102" 'visited.url'
  seed_file "$(reg_value "$folders" Cache)\\Content.IE5\\ABCD1234" 'banner[1].gif' 40960
  seed_file "$windows\\Temp" 'setup-leftover.tmp' 131072
  seed_file "$windows" 'memory.dmp' 3145728
  seed_file 'C:\' 'File0001.chk' 4096
  seed_file "$windows\\Debug" 'setup.log' 8192
  seed_file "$(reg_value "$folders" Recent)" 'Report.doc.lnk' 512
  seed_places_clutter
}

# Clutter in the places today's Windows keeps: temporary files older than a day, an error report,
# a crash dump, the thumbnail cache, a jump list, the Internet cache and Explorer's recent items.
seed_places_clutter() {
  local temp local_app roaming
  temp=$(win cmd /c 'echo %TEMP%')
  local_app=$(win cmd /c 'echo %LOCALAPPDATA%')
  roaming=$(win cmd /c 'echo %APPDATA%')
  seed_file "$temp\\setup-7F2A" 'unpacked.cab' 262144
  seed_file "$temp" 'install.log' 4096
  touch -d '3 days ago' "$(win winepath -u "$temp\\setup-7F2A")/unpacked.cab" "$(win winepath -u "$temp")/install.log"
  seed_file "$local_app\\Microsoft\\Windows\\WER\\ReportArchive\\AppCrash_viewer.exe_1" 'Report.wer' 6144
  seed_file "$local_app\\CrashDumps" 'viewer.exe.4242.dmp' 1048576
  seed_file "$local_app\\Microsoft\\Windows\\Explorer" 'thumbcache_256.db' 524288
  seed_file "$roaming\\Microsoft\\Windows\\Recent\\AutomaticDestinations" '5f7b5f1e01b83767.automaticDestinations-ms' 8192
  seed_file "$local_app\\Microsoft\\Windows\\INetCache\\IE\\Q1W2E3R4" 'banner[1].jpg' 20480
  "$WINE_RUN" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\RecentDocs' /v 0 /t REG_BINARY \
    /d 5200650070006f00720074002e0064006f00630078000000 /f >/dev/null
}

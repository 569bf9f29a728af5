# The stores the file benchmarks scan, in the Wine prefix at the folders its own Shell Folders
# values name. Source it after tools/lib/seed.sh.

folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
history_win="$(reg_value "$folders" History)\\History.IE5"
cache_win="$(reg_value "$folders" Cache)\\Content.IE5"
history=$(win winepath -u "$history_win")
cache=$(win winepath -u "$cache_win")

# seed_stores COUNT: a history store and a cache store of COUNT files each (COUNT a multiple of
# 1,000). History: day folders of 10 folders of 100 files (three levels); cache: folders of 500.
seed_stores() {
  local count="$1" d s
  rm -rf "$history" "$cache"
  for d in $(seq -f '%03g' 1 $((count / 1000))); do
    for s in $(seq -w 1 10); do
      mkdir -p "$history/MSHist0120000${d}20000${d}/s$s"
      (cd "$history/MSHist0120000${d}20000${d}/s$s" && touch $(printf 'visit%03d.url ' $(seq 1 100)))
    done
  done
  for d in $(seq -f '%03g' 1 $((count / 500))); do
    mkdir -p "$cache/CACHE$d"
    (cd "$cache/CACHE$d" && touch $(printf 'item%03d[1].gif ' $(seq 1 500)))
  done
}

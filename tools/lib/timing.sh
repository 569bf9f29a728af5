# Timing for the benchmarks under Wine. Source it after setting WINE_RUN to tools/wine-run.
#
# A busy machine stretches wall-clock times by however much else runs, so each measure is also
# taken in CPU time: the command's own (its Wine process and every child) and what the prefix's
# Wine server spent meanwhile, which stays put while other programs come and go. Output goes
# through a pipe, never straight to /dev/null: Wine writes to a character device one call at a
# time, which would time the device instead of the program.

# The pid of the Wine server of this prefix; empty when none runs.
wine_server_pid() {
  local prefix pid
  prefix=$("$WINE_RUN" --prefix)
  for pid in $(pgrep -x wineserver64 2>/dev/null; pgrep -x wineserver 2>/dev/null); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$prefix"; then
      echo "$pid"
      return
    fi
  done
}

# CPU time of a process so far, in clock ticks.
_cpu_ticks() { [ -n "$1" ] && awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }

# Runs a command once; prints "WALL_MS CPU_MS".
time_once() {
  local server ticks0 ticks1 hz out
  server=$(wine_server_pid)
  hz=$(getconf CLK_TCK)
  ticks0=$(_cpu_ticks "$server")
  out=$( { TIMEFORMAT='%3R %3U %3S'; time "$@" | cat >/dev/null; } 2>&1 | tail -n 1)
  ticks1=$(_cpu_ticks "$server")
  awk -v t="$out" -v s=$((ticks1 - ticks0)) -v hz="$hz" \
    'BEGIN { split(t, a, " "); printf "%d %d\n", a[1] * 1000, (a[2] + a[3]) * 1000 + s * 1000 / hz }'
}

# A program and its floor, each run five times, the two taking turns so that a change of the
# machine's load meets both alike; prints "WALL_A CPU_A WALL_B CPU_B", each the best of its five.
# The arguments are two shell functions that run the one and the other; with a third, that
# function runs before every run, untimed (a removal needs its files made again).
best_of_turns() {
  local a="$1" b="$2" setup="${3:-}" i w c
  local -a best=("" "" "" "")
  for i in 1 2 3 4 5; do
    for side in 0 1; do
      [ -z "$setup" ] || "$setup"
      if [ "$side" = 0 ]; then read -r w c < <(time_once "$a"); else read -r w c < <(time_once "$b"); fi
      if [ -z "${best[side * 2]}" ] || [ "$w" -lt "${best[side * 2]}" ]; then best[side * 2]=$w; fi
      if [ -z "${best[side * 2 + 1]}" ] || [ "$c" -lt "${best[side * 2 + 1]}" ]; then best[side * 2 + 1]=$c; fi
    done
  done
  echo "${best[*]}"
}

# a / b with two decimals.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

#!/usr/bin/env bash
# The idle cost of vesko.exe against the floor program, one after the other in
# one Wine prefix: CPU per minute of the process, of the Wine server over the
# same interval (its share: the server is shared by the whole prefix), their
# sum, and the process's memory: its proportional set size (PSS) and its
# private pages (USS), which other processes' use of the same files cannot move.
#
# Needs WINEPREFIX and DISPLAY set up (scripts/measure-idle does that).
# Usage: bench/idle_cost.sh --vesko EXE --floor EXE [--seconds S] [--runs N]
#          [--only vesko|floor] [--exclusions] [--keep-awake] [--program-end] [--baseline] [--settle S]
#   --exclusions  the excluded-program test on, with one program listed
#   --keep-awake  other programs' keep-awake requests asked every tick
#   --program-end the job's end on, waiting for a program that never runs (the process list every tick)
#   --baseline    also the server and the shell over an interval with neither program
set -uo pipefail

SECONDS_TO_MEASURE=60
RUNS=1
ONLY=""
SETTLE=10
EXCLUSIONS=0
KEEP_AWAKE=0
PROGRAM_END=0
BASELINE=0
VESKO=""
FLOOR=""
while [ $# -gt 0 ]; do
  case "$1" in
    --vesko) VESKO=$2; shift 2 ;;
    --floor) FLOOR=$2; shift 2 ;;
    --seconds) SECONDS_TO_MEASURE=$2; shift 2 ;;
    --runs) RUNS=$2; shift 2 ;;
    --only) ONLY=$2; shift 2 ;;
    --settle) SETTLE=$2; shift 2 ;;
    --exclusions) EXCLUSIONS=1; shift ;;
    --keep-awake) KEEP_AWAKE=1; shift ;;
    --program-end) PROGRAM_END=1; shift ;;
    --baseline) BASELINE=1; shift ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
: "${WINEPREFIX:?WINEPREFIX must name the prefix}" "${DISPLAY:?DISPLAY must be set}"
[ "$ONLY" = floor ] || [ -f "$VESKO" ] || { echo "no vesko.exe at '$VESKO'" >&2; exit 2; }
[ "$ONLY" = vesko ] || [ -f "$FLOOR" ] || { echo "no floor program at '$FLOOR'" >&2; exit 2; }

HZ=$(getconf CLK_TCK)

# Processes of this prefix only: other prefixes may run the same programs.
in_prefix() { tr '\0' '\n' <"/proc/$1/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; }
find_in_prefix() {  # pattern for pgrep -f
  local p
  for p in $(pgrep -f "$1"); do in_prefix "$p" && { echo "$p"; return 0; }; done
  return 1
}
# The server of a prefix works in a folder named after the prefix's device and inode.
find_server() {
  local dir p
  dir=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
  for p in $(pgrep "^wineserver"); do
    [[ "$(readlink "/proc/$p/cwd")" == */"$dir" ]] && { echo "$p"; return 0; }
  done
  return 1
}
# User plus system time of a whole process in clock ticks (the name may hold blanks).
cpu_ticks() { [ -r "/proc/$1/stat" ] && sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}' || echo 0; }
kib() { awk -v k="$2" '$1 == k":" {print $2}' "/proc/$1/$3"; }

# Every condition on and none able to come due while we watch: clock times
# hours away, durations of 99999 minutes, and a countdown of a day.
write_settings() {
  local dir=$1 h m
  h=$((10#$(date +%H))); m=$((10#$(date +%M)))
  {
    printf '[Timer]\r\nTimer_Enabled=1\r\nTimer_Hour=23\r\nTimer_Minute=59\r\n'
    printf '[Time]\r\nTime_Enabled=1\r\nTime_Hour=%d\r\nTime_Minute=%d\r\n' $(((h + 12) % 24)) "$m"
    printf '[AppointedTime]\r\nAppointedTime_Enabled=1\r\nAppointedTime_FromHour=%d\r\nAppointedTime_FromMinute=%d\r\n' \
      $(((h + 6) % 24)) "$m"
    printf 'AppointedTime_ToHour=%d\r\nAppointedTime_ToMinute=%d\r\n' $(((h + 7) % 24)) "$m"
    printf '[CPU]\r\nCPU_Enabled=1\r\nCPU_Percent=50\r\nCPU_Time=99999\r\n'
    printf '[Network]\r\nNetwork_Enabled=1\r\nNetwork_Speed=100\r\nNetwork_Unit=1\r\nNetwork_Time=99999\r\n'
    printf '[Memory]\r\nMemory_Enabled=1\r\nMemory_Percent=90\r\nMemory_Time=99999\r\n'
    printf '[OS]\r\nOS_Enabled=1\r\nOS_Hour=99999\r\nOS_Minute=0\r\n'
    printf '[MouseCursor]\r\nMouseCursor_Enabled=1\r\nMouseCursor_Time=99999\r\n'
    printf '[ProgramEnd]\r\nProgramEnd_Enabled=%d\r\nProgramEnd_Name=idle-measure-job.exe\r\nProgramEnd_Time=1440\r\n' \
      "$PROGRAM_END"
    printf '[PowerSaving]\r\nShutdown=1\r\nSuspend=0\r\nHibernation=0\r\nPiece_Requirement=1\r\nAll_Requirement=0\r\n'
    printf '[Other]\r\nWarning_Enabled=1\r\nWarning_Time=1\r\nFunction_Enabled=1\r\nLog_Enabled=1\r\n'
    printf 'Application_Enabled=%d\r\nExeStop_Enabled=%d\r\n' "$EXCLUSIONS" "$EXCLUSIONS"
    printf 'KeepAwake_Enabled=%d\r\n' "$KEEP_AWAKE"
  } >"$dir/vesko.ini"
  [ "$EXCLUSIONS" = 1 ] && printf 'C:\\idle-measure\\absent.exe\r\n' >"$dir/ExeNameList.txt"
  return 0
}

# Watches the server and the shell (and a program, when a pid is given) for
# one interval; prints: seconds, program ticks, server ticks, shell ticks.
watch_interval() {
  local pid=$1 server shell p0 s0 e0 t0 p1 s1 e1 t1
  server=$(find_server) || { echo "no Wine server for $WINEPREFIX" >&2; return 1; }
  # The desktop's shell (it draws the tray); Wine starts one with the program.
  shell=$(find_in_prefix 'system32.explorer\.exe /desktop' || echo 0)
  p0=0; [ "$pid" != 0 ] && p0=$(cpu_ticks "$pid")
  s0=$(cpu_ticks "$server"); e0=$(cpu_ticks "$shell"); t0=$(date +%s.%N)
  sleep "$SECONDS_TO_MEASURE"
  if [ "$pid" != 0 ] && [ ! -d "/proc/$pid" ]; then echo "the program ended during the measurement" >&2; return 1; fi
  p1=0; [ "$pid" != 0 ] && p1=$(cpu_ticks "$pid")
  s1=$(cpu_ticks "$server"); e1=$(cpu_ticks "$shell"); t1=$(date +%s.%N)
  [ "$shell" != 0 ] && [ -d "/proc/$shell" ] || e1=$((e0 - 1))  # no shell throughout: shown as "-"
  echo "$(awk -v a="$t0" -v b="$t1" 'BEGIN {print b - a}') $((p1 - p0)) $((s1 - s0)) $((e1 - e0))"
}

# Runs one program alone and prints: name, ms per minute of program, server,
# shell, and PSS and USS in KiB.
measure() {
  local name=$1 exe=$2 dir pid base out
  dir=$(mktemp -d "${TMPDIR:-/tmp}/idle-$name.XXXXXX")
  cp "$exe" "$dir/"
  base=$(basename "$exe")
  [ "$name" = vesko ] && write_settings "$dir"
  (cd "$dir" && exec wine "$dir/$base" /h >/dev/null 2>&1) &
  pid=""
  for _ in $(seq 1 150); do
    pid=$(find_in_prefix "$(basename "$dir")" | head -n 1) && [ -n "$pid" ] && break
    sleep 0.2
  done
  [ -n "$pid" ] || { echo "$base did not start" >&2; rm -rf "$dir"; return 1; }
  sleep "$SETTLE"  # past start-up, into the steady one-second tick
  out=$(watch_interval "$pid") || { kill "$pid" 2>/dev/null; rm -rf "$dir"; return 1; }
  local pss uss
  pss=$(kib "$pid" Pss smaps_rollup)
  uss=$(( $(kib "$pid" Private_Clean smaps_rollup) + $(kib "$pid" Private_Dirty smaps_rollup) ))
  kill "$pid" 2>/dev/null
  for _ in $(seq 1 50); do [ -d "/proc/$pid" ] || break; sleep 0.1; done
  rm -rf "$dir"
  awk -v n="$name" -v hz="$HZ" -v pss="$pss" -v uss="$uss" -v o="$out" 'BEGIN {
    split(o, f, " "); k = 60000 / hz / f[1]
    printf "%s %.0f %.0f %s %d %d\n", n, f[2] * k, f[3] * k, f[4] < 0 ? "-" : sprintf("%.0f", f[4] * k), pss, uss }'
}

baseline() {
  local out
  out=$(watch_interval 0) || return 1
  awk -v hz="$HZ" -v o="$out" 'BEGIN { split(o, f, " "); k = 60000 / hz / f[1]
    printf "none 0 %.0f %s 0 0\n", f[3] * k, f[4] < 0 ? "-" : sprintf("%.0f", f[4] * k) }'
}

RESULTS=()
for run in $(seq 1 "$RUNS"); do
  if [ "$BASELINE" = 1 ]; then
    echo "run $run: baseline (neither program) for ${SECONDS_TO_MEASURE} s" >&2
    r=$(baseline) && RESULTS+=("$run $r")
  fi
  for prog in vesko floor; do
    [ -n "$ONLY" ] && [ "$ONLY" != "$prog" ] && continue
    exe=$VESKO; [ "$prog" = floor ] && exe=$FLOOR
    echo "run $run: $prog for ${SECONDS_TO_MEASURE} s" >&2
    r=$(measure "$prog" "$exe") || exit 1
    RESULTS+=("$run $r")
  done
done

printf '\nCPU in ms per minute (process + Wine server = total; the shell, which draws the tray, apart)\n'
printf 'Memory in KiB: PSS (shared pages split among every process mapping them, also in other prefixes) and USS (private)\n'
printf '%-4s %-6s %9s %9s %9s %9s %9s %9s\n' run what process server total shell PSS USS
for r in "${RESULTS[@]}"; do
  set -- $r
  printf '%-4s %-6s %9s %9s %9s %9s %9s %9s\n' "$1" "$2" "$3" "$4" $(($3 + $4)) "$5" "$6" "$7"
done
# Ratios per run, vesko over floor.
printf '%s\n' "${RESULTS[@]}" | awk '
  $2 == "vesko" { v[$1] = $0 } $2 == "floor" { f[$1] = $0 }
  END { for (r in v) if (r in f) { split(v[r], a, " "); split(f[r], b, " ")
    printf "run %s: vesko / floor  total %.2f  process %.2f  server %.2f  PSS %.2f  USS %.2f\n", r,
      (a[3] + a[4]) / ((b[3] + b[4]) ? b[3] + b[4] : 1), a[3] / (b[3] ? b[3] : 1), a[4] / (b[4] ? b[4] : 1),
      a[6] / (b[6] ? b[6] : 1), a[7] / (b[7] ? b[7] : 1) } }' | sort

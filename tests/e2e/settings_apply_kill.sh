#!/usr/bin/env bash
# A save of the settings is whole or absent: the program is ended (SIGKILL,
# as a crash or a task manager would) at once or at a random moment within
# 30 ms of the first write an Apply makes to its folder, many times over, and each
# time vesko.ini must hold all of the Apply's changes or none of them, and
# never be empty.
# The driver (vesko_e2e.exe --apply-until-killed) clicks Apply; this script
# watches the folder with inotify from outside the Wine session.
#
# Usage: settings_apply_kill.sh <vesko_e2e.exe> [rounds] [vesko.exe to test instead]
#        settings_apply_kill.sh --count <vesko_e2e.exe> [vesko.exe]
#   --count: one Apply, not ended; prints how many times it wrote vesko.ini.
set -uo pipefail
count=0
if [ "${1:-}" = --count ]; then count=1; shift; fi
driver=$1
rounds=${2:-40}
[ "$count" = 1 ] && rounds=1
exe=""
if [ "$count" = 1 ]; then exe=${2:-}; else exe=${3:-}; fi
[ -n "$exe" ] && exe=$(winepath -w "$exe" 2>/dev/null)
command -v inotifywait >/dev/null || { echo "FAIL: inotifywait is missing (inotify-tools)"; exit 1; }

work=$(mktemp -d)
driver_pid="" watch_pid=""
cleanup() {
  [ -n "$watch_pid" ] && kill "$watch_pid" 2>/dev/null
  [ -n "$driver_pid" ] && wait "$driver_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# One line of the driver, its CR taken away.
say() {
  read -r -t 60 -u "$OUT" line || return 1
  line=${line%$'\r'}
}

# One round; sets verdict to all, none, torn, empty, or an error.
round() {
  local n=$1 line dir pid delay mode=--apply-until-killed
  [ "$count" = 1 ] && mode=--apply
  verdict="error" writes=0
  rm -f "$work/out" "$work/events" "$work/watch.err"
  mkfifo "$work/out" "$work/events"
  wine "$driver" "$mode" ${exe:+"$exe"} >"$work/out" 2>/dev/null &
  driver_pid=$!
  exec {OUT}<"$work/out" {EV}<>"$work/events"
  say || { verdict="error: no driver"; return; }
  dir=$(winepath -u "${line#folder: }" 2>/dev/null)
  say
  [ "$line" = ready ] || { verdict="error: the program did not start"; return; }
  pid=$(pgrep -f -- "$(basename "$dir").vesko\.exe" | head -n 1)
  [ -n "$pid" ] || { verdict="error: no process"; return; }
  inotifywait -m -e create,modify,moved_to,close_write --format '%e %f' "$dir" >&"$EV" 2>"$work/watch.err" &
  watch_pid=$!
  until grep -q "Watches established" "$work/watch.err" 2>/dev/null; do sleep 0.01; done
  touch "$dir/go"
  if [ "$count" = 0 ]; then
    local event file
    while read -r -t 30 -u "$EV" event file; do
      case $file in vesko.ini | vesko.ini.tmp) break ;; esac
    done
    # A third of the rounds at once, the others after up to 30 ms.
    delay=$(printf '0.%03d' $((RANDOM % 31)))
    [ $((n % 3)) = 0 ] && delay=0 || sleep "$delay"
    kill -KILL "$pid" 2>/dev/null
  fi
  local size="" on=0 off=0
  while say; do
    case $line in
      "size: "*) size=${line#size: } ;;
      "value: "*=1) on=$((on + 1)) ;;
      "value: "*) off=$((off + 1)) ;;
    esac
  done
  kill "$watch_pid" 2>/dev/null; wait "$watch_pid" 2>/dev/null; watch_pid=""
  wait "$driver_pid" 2>/dev/null; driver_pid=""
  if [ "$count" = 1 ]; then
    # Each rewrite of the file in place ends in a close after writing; a
    # replacement arrives as a rename onto its name.
    while read -r -t 0.2 -u "$EV" event file; do
      case "$event $file" in "CLOSE_WRITE,CLOSE vesko.ini" | "MOVED_TO vesko.ini") writes=$((writes + 1)) ;; esac
    done
  fi
  exec {OUT}<&- {EV}<&-
  if [ -z "$size" ] || [ "$size" = none ] || [ "$size" = 0 ]; then
    verdict="empty"
  elif [ "$on" = 0 ] && [ "$off" -gt 0 ]; then
    verdict="none"
  elif [ "$off" = 0 ] && [ "$on" -gt 0 ]; then
    verdict="all"
  else
    verdict="torn ($on of $((on + off)) saved)"
  fi
  [ -n "${delay:-}" ] && verdict="$verdict after ${delay}s"
}

if [ "$count" = 1 ]; then
  round 0
  echo "one Apply: $verdict, vesko.ini written $writes time(s)"
  case $verdict in all*) exit 0 ;; *) exit 1 ;; esac
fi

declare -A tally=()
failed=0
for n in $(seq 1 "$rounds"); do
  round "$n"
  echo "round $n: $verdict"
  kind=${verdict%% *}
  tally[$kind]=$((${tally[$kind]:-0} + 1))
  case $kind in all | none) ;; *) failed=$((failed + 1)) ;; esac
done
summary=""
for k in "${!tally[@]}"; do summary="$summary $k=${tally[$k]}"; done
echo "rounds: $rounds,$summary"
[ "$failed" = 0 ] || { echo "FAIL: $failed round(s) left the settings file torn or empty"; exit 1; }

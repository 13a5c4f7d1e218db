#!/usr/bin/env bash
# The forced tray commands end every process of the Wine session, the test
# driver included, so this script stands outside the session: it lets the
# driver start the program and press the key, then reads the log the program
# left and checks that nothing of the session outlived the command.
# Usage: forced_commands.sh <vesko_e2e.exe> <key> <log line>
set -uo pipefail
driver=$1 key=$2 expected=$3
out=$(timeout 90 wine "$driver" --press-tray-key "$key" 2>/dev/null | tr -d '\r')
echo "$out"
folder=$(sed -n 's/^folder: //p' <<<"$out")
[ -n "$folder" ] || { echo "FAIL: the driver did not start"; exit 1; }
dir=$(winepath -u "$folder" 2>/dev/null)
trap 'rm -rf "$dir"' EXIT
status=0
grep -qx pressed <<<"$out" || { echo "FAIL: the key was never pressed"; status=1; }
grep -qx "still here" <<<"$out" && { echo "FAIL: the session outlived the forced command"; status=1; }
log=$(iconv -f CP932 -t UTF-8 "$dir/Log.txt" | tr -d '\r')
echo "log:"; echo "$log"
[ "$(wc -l <<<"$log")" = 2 ] || { echo "FAIL: expected the start line and one command line"; status=1; }
tail -n 1 <<<"$log" | grep -q " $expected\$" || { echo "FAIL: last line is not \"$expected\""; status=1; }
if pgrep -f "$dir" >/dev/null; then echo "FAIL: a process of the folder still runs"; status=1; fi
exit $status

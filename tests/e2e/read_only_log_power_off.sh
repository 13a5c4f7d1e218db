#!/usr/bin/env bash
# An automatic power-off ends every process of the Wine session, the test
# driver included, so this script stands outside the session: the driver
# starts the program with a read-only log and a power-off due in the next
# minute and answers the start's message about the log; the power-off must
# come all the same, and the log stay as it was.
# Usage: read_only_log_power_off.sh <vesko_e2e.exe>
set -uo pipefail
driver=$1
out=$(timeout 150 wine "$driver" --read-only-log-power-off 2>/dev/null | tr -d '\r')
echo "$out"
folder=$(sed -n 's/^folder: //p' <<<"$out")
[ -n "$folder" ] || { echo "FAIL: the driver did not start"; exit 1; }
dir=$(winepath -u "$folder" 2>/dev/null)
trap 'chattr -i "$dir/Log.txt" 2>/dev/null; rm -rf "$dir"' EXIT
status=0
grep -q "^message: ファイル .*Log.txt を作成できません$" <<<"$out" || { echo "FAIL: no start-up message about the log"; status=1; }
grep -q "^answered" <<<"$out" || { echo "FAIL: the message was never answered"; status=1; }
grep -qx "still here" <<<"$out" && { echo "FAIL: the power-off never came"; status=1; }
[ "$(tr -d '\r' < "$dir/Log.txt")" = kept ] || { echo "FAIL: the read-only log changed"; status=1; }
if pgrep -f "$dir" >/dev/null; then echo "FAIL: a process of the folder still runs"; status=1; fi
exit $status

#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A watch over 300 devices that all answer every search the same way, for ten searches: the
# first search reports each device as appeared, and no later one reports anything, neither a
# device gone (a reply that the workstation failed to keep) nor one appeared again.
# nimbrel-discover --watch --interval 3 on a "workstation" namespace, nimbrel-devsim with the
# 300 devices on a "device" namespace, joined by a veth cable.
#
# Usage: watch_steady.sh NIMBREL-DISCOVER NIMBREL-DEVSIM
# Exit status: 0 passed, 1 failed, 77 skipped (no namespaces here).
set -u

discover=${1:?path to nimbrel-discover}
devsim=${2:?path to nimbrel-devsim}
count=300
searches=10

test_name=watch_steady
source "$(dirname "$0")/namespaces.sh"
two_namespaces nbs

# Device n: model AP-n, MAC 02-00-00-00-HI-LO (n in hex), and a copy text, so that its reply
# has an ordinary size.
devices=()
for ((n = 1; n <= count; n++)); do
    devices+=(--device "$(printf 'model=AP-%d,ipv4=198.51.100.%d,mac=02-00-00-00-%02X-%02X,firmware=2.%d,copy=office %d rack %d' \
        "$n" $((n % 250 + 3)) $((n >> 8)) $((n & 255)) "$n" "$n" $((n / 10)))")
done
start_devsim "$dev" "$work/devsim.out" --log "$work/requests.log" "${devices[@]}" ||
    fail "the simulator did not start: $(cat "$work/devsim.out")"

ip netns exec "$ws" "$discover" --watch --interval 3 >"$work/watch.out" 2>"$work/watch.err" &
watcher=$!
pids+=("$watcher")
# The request of search 11 comes once search 10 has been reported.
requests() { # shellcheck disable=SC2317 # run through wait_until
    [ -f "$work/requests.log" ] && [ "$(wc -l <"$work/requests.log")" -gt "$searches" ]
}
wait_until $((searches * 3 + 20)) requests ||
    fail "only $(wc -l <"$work/requests.log") searches in $((searches * 3 + 20)) s"
kill -INT "$watcher"
wait "$watcher"
status=$?
pids=("${pids[@]:0:1}")
stop_devsims

[ "$status" = 0 ] || fail "exit status $status on SIGINT"
lines=$(wc -l <"$work/watch.out")
appeared=$(grep -c '^[0-9TZ:.-]* appeared AP-[0-9]* ' "$work/watch.out")
distinct=$(grep -Eo ' 02-00-00-00-[0-9A-F]{2}-[0-9A-F]{2} ' "$work/watch.out" | sort -u | wc -l)
if [ "$lines" != "$count" ] || [ "$appeared" != "$count" ] || [ "$distinct" != "$count" ]; then
    fail "$lines lines, $appeared 'appeared' lines, $distinct devices; expected $count of each;" \
        "other lines: $(grep -v ' appeared ' "$work/watch.out" | head -5 | paste -sd'|')"
fi
[ -s "$work/watch.err" ] && fail "unexpected stderr: $(head -5 "$work/watch.err")"

end_test "$searches searches over $count devices: $count lines, all 'appeared'"

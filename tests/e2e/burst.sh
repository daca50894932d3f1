#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A thousand devices whose replies all arrive at once: e2e_device sends 1,000 distinct replies
# back to back from one socket as soon as the request comes, on a "device" namespace joined by
# a veth cable to the "workstation" namespace where nimbrel-discover --json searches. The
# search's receive buffer must hold them all: every device listed once, no reply lost.
#
# Usage: burst.sh NIMBREL-DISCOVER E2E-DEVICE [COUNT]
# Exit status: 0 passed, 1 failed, 77 skipped (no namespaces here).
set -u

discover=${1:?path to nimbrel-discover}
device=${2:?path to e2e_device}
count=${3:-1000}

test_name=burst
source "$(dirname "$0")/namespaces.sh"
two_namespaces nbb

# Where replies went missing when some did: the workstation side's drops, by layer.
losses() {
    echo "  workstation link: $(ip -s -n "$ws" link show nbb0 | sed -n '/RX:/{n;p}' | xargs)" \
        "(bytes packets errors dropped ...)"
    echo "  workstation UDP: $(ip netns exec "$ws" awk '/^Udp:/ { print }' /proc/net/snmp |
        paste -sd' ')"
}

ip netns exec "$dev" "$device" burst "$count" >"$work/device.out" 2>&1 &
pids+=($!)
wait_until 5 grep -q listening "$work/device.out" ||
    fail "the burst device did not start: $(cat "$work/device.out")"

ip netns exec "$ws" "$discover" --json >"$work/stdout" 2>"$work/stderr"
status=$?
wait "${pids[0]}"
device_status=$?
pids=()

[ "$status" = 0 ] || fail "nimbrel-discover ended with status $status: $(cat "$work/stderr")"
if [ "$device_status" != 0 ] || ! grep -qx "sent $count" "$work/device.out"; then
    fail "the device did not send its $count replies: $(cat "$work/device.out")"
fi
listed=$(grep -Eo '"model":"BURST-[0-9]+"' "$work/stdout" | wc -l)
distinct=$(grep -Eo '"model":"BURST-[0-9]+"' "$work/stdout" | sort -u | wc -l)
if [ "$listed" != "$count" ] || [ "$distinct" != "$count" ]; then
    fail "$listed devices listed ($distinct distinct), expected $count"
    losses
fi
lost=$(grep -Eo '"lost_replies":[0-9]+' "$work/stdout" | cut -d: -f2)
[ "$lost" = 0 ] || fail "lost_replies is '${lost:-missing}', expected 0"
if ! grep -q '"left_out":0,' "$work/stdout" || ! grep -q '"dropped_datagrams":0[,}]' "$work/stdout"; then
    fail "devices left out or datagrams dropped:" \
        "$(grep -Eo '"(left_out|dropped_datagrams)":[0-9]+' "$work/stdout" | paste -sd' ')"
fi
[ -s "$work/stderr" ] && fail "unexpected stderr: $(cat "$work/stderr")"

end_test "$count replies sent at once, $count devices listed, none lost"

#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fifty devices answer one search: nimbrel-discover --json on a "workstation" and nimbrel-devsim
# on a "device" network namespace, joined by a veth cable, so that the broadcast stays between
# the two. Every device must be listed, in the order of the replies, with none left out.
#
# Usage: many_devices.sh NIMBREL-DISCOVER NIMBREL-DEVSIM
# Exit status: 0 passed, 1 failed, 77 skipped (no namespaces here).
set -u

discover=${1:?path to nimbrel-discover}
devsim=${2:?path to nimbrel-devsim}
count=50

fail() {
    echo "many_devices: FAIL: $*"
    exit 1
}

test_name=many_devices
source "$(dirname "$0")/namespaces.sh"
ws=nbm-ws-$$
dev=nbm-dev-$$
add_namespaces "$ws" "$dev"

# Everything is made inside the two new namespaces. The host name resolves to the workstation's
# address there, so that the search sends from it.
setup() {
    ip -n "$ws" link add nbm0 type veth peer name nbm1 netns "$dev" &&
        ip -n "$ws" addr add 198.51.100.1/24 dev nbm0 &&
        ip -n "$dev" addr add 198.51.100.2/24 dev nbm1 &&
        ip -n "$ws" link set lo up &&
        ip -n "$dev" link set lo up &&
        ip -n "$ws" link set nbm0 up &&
        ip -n "$dev" link set nbm1 up &&
        ip -n "$ws" route add default dev nbm0 &&
        resolve_hostname "$ws" 198.51.100.1
}
setup 2>"$work/setup.err" || skip "cannot build the two-namespace network: $(cat "$work/setup.err")"

# Device n: model AP-n, address 198.51.100.(10 + n), MAC 02-00-00-00-00-<n in hex>.
devices=()
expected=
for ((n = 1; n <= count; n++)); do
    ipv4=198.51.100.$((10 + n))
    mac=$(printf '02-00-00-00-00-%02X' "$n")
    devices+=(--device "model=AP-$n,ipv4=$ipv4,mac=$mac,firmware=1.0.$n,copy=device $n")
    [ -n "$expected" ] && expected+=,
    expected+=$(printf '{"model":"AP-%d","ipv4":"%s","mac":"%s","firmware":"1.0.%d","copy_text":"device %d","source":"198.51.100.2:10001","interface":"nbm0"}' \
        "$n" "$ipv4" "$mac" "$n" "$n")
done
expected="{\"version\":1,\"devices\":[$expected],\"left_out\":0,\"dropped_datagrams\":0,\"lost_replies\":0}"

start_devsim "$dev" "$work/devsim.out" --requests 1 "${devices[@]}" ||
    fail "the simulator did not start: $(cat "$work/devsim.out")"

ip netns exec "$ws" "$discover" --json >"$work/stdout" 2>"$work/stderr"
status=$?
wait "${pids[0]}"
devsim_status=$?
pids=()

[ "$status" = 0 ] || fail "nimbrel-discover ended with status $status: $(cat "$work/stderr")"
[ -s "$work/stderr" ] && fail "unexpected stderr: $(cat "$work/stderr")"
[ "$devsim_status" = 0 ] || fail "the simulator ended with status $devsim_status"
printf '%s\n' "$expected" >"$work/expected"
cmp -s "$work/expected" "$work/stdout" ||
    fail "stdout differs:"$'\n'"  expected: $(cat "$work/expected")"$'\n'"  actual:   $(cat "$work/stdout")"
echo "many_devices: ok, $count devices listed in order"

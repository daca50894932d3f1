#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A workstation on two networks: a "workstation" namespace joined by two veth cables to two
# "device" namespaces in different subnets (198.51.100.0/24 and 203.0.113.0/24). The default
# search finds the devices of the network that the host name's address is on, --all-interfaces
# those of both, --interface those of the one named; --watch reports devices that appear,
# change and go, and ends with status 0 on SIGINT.
#
# Usage: networks.sh NIMBREL-DISCOVER NIMBREL-DEVSIM [E2E-WINDOW]
# Exit status: 0 passed, 1 failed, 77 skipped (no namespaces here).
set -u

discover=${1:?path to nimbrel-discover}
devsim=${2:?path to nimbrel-devsim}
window=${3:-}

test_name=networks
source "$(dirname "$0")/namespaces.sh"
ws=nbn-ws-$$
one=nbn-one-$$
two=nbn-two-$$
add_namespaces "$ws" "$one" "$two"

setup() {
    add_cable "$ws" nbw0 198.51.100.1/24 "$one" nbd0 198.51.100.2/24 &&
        add_cable "$ws" nbw1 203.0.113.1/24 "$two" nbd1 203.0.113.2/24 &&
        ip -n "$ws" route add default dev nbw0 &&
        resolve_hostname "$ws" 198.51.100.1
}
setup 2>"$work/setup.err" || skip "cannot build the three-namespace network: $(cat "$work/setup.err")"

# started NAMESPACE LOG DEVSIM-ARGUMENTS...: a simulator, or a failure when it does not start.
started() {
    start_devsim "$@" || fail "a simulator did not start: $(cat "$2")"
}

# models FILE: the models listed in a JSON report, one a line, with their interface.
models() {
    grep -Eo '"model":"[^"]*"|"interface":("[^"]*"|null)' "$1" | cut -d: -f2 | tr -d '"' |
        paste -d' ' - -
}

# expect_search NAME EXPECTED-LINES DISCOVER-OPTIONS...
expect_search() {
    local name=$1 expected=$2
    shift 2
    if ! ip netns exec "$ws" "$discover" --json "$@" >"$work/$name.json" 2>"$work/$name.err"; then
        fail "$name: exit status $?: $(cat "$work/$name.err")"
        return
    fi
    local actual
    # Sorted: replies that come on two interfaces come in whichever order the network takes.
    actual=$(models "$work/$name.json" | sort)
    [ "$actual" = "$expected" ] || fail "$name: listed '$actual', expected '$expected'"
    [ "$actual" != "$expected" ] || echo "networks: ok   $name"
}

a='model=AP-ONE,ipv4=198.51.100.2,mac=00-00-5E-00-53-01,firmware=1.0'
b='model=AP-TWO,ipv4=203.0.113.2,mac=00-00-5E-00-53-02,firmware=1.0'
started "$one" "$work/one.log" --device "$a"
started "$two" "$work/two.log" --device "$b"

expect_search default "AP-ONE nbw0"
expect_search all_interfaces "AP-ONE nbw0
AP-TWO nbw1" --all-interfaces
expect_search one_interface "AP-TWO nbw1" --interface=nbw1
expect_search both_named "AP-ONE nbw0
AP-TWO nbw1" --interface nbw0 --interface nbw1
if ip netns exec "$ws" "$discover" --interface nbw9 >"$work/unknown.out" 2>"$work/unknown.err"; then
    fail "an unknown interface was accepted"
else
    status=$?
    if [ "$status" != 2 ] || ! grep -q "'nbw9'" "$work/unknown.err"; then
        fail "unknown interface: status $status, $(cat "$work/unknown.err")"
    fi
fi
if [ -n "$window" ]; then
    # The window, its settings in a folder of this test's, lists the devices of both networks.
    if ip netns exec "$ws" env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" \
        XDG_RUNTIME_DIR="$work" "$window" save "$work/window.json" >"$work/window.out" \
        2>"$work/window.err"; then
        listed=$(sort "$work/window.out")
        [ "$listed" = $'AP-ONE 198.51.100.2\nAP-TWO 203.0.113.2' ] ||
            fail "window: listed '$listed'"
        [ "$listed" != $'AP-ONE 198.51.100.2\nAP-TWO 203.0.113.2' ] || echo "networks: ok   window"
        # Its list saved as JSON is the report of --all-interfaces, whatever the devices' order.
        if ! command -v python3 >/dev/null; then
            echo "networks: (no python3 to compare the window's saved list)"
        elif python3 -c 'import json, sys
reports = [json.load(open(path)) for path in sys.argv[1:]]
for report in reports:
    report["devices"].sort(key=lambda device: json.dumps(device, sort_keys=True))
sys.exit(reports[0] != reports[1])' "$work/window.json" "$work/all_interfaces.json"; then
            echo "networks: ok   window saved list"
        else
            fail "window: saved $(cat "$work/window.json"), not $(cat "$work/all_interfaces.json")"
        fi
    else
        fail "window: exit status $?: $(cat "$work/window.err")"
    fi
fi
stop_devsims

# --watch: device A appears; then A changes its firmware and C appears; then both go.
wait_for_lines() { # COUNT: waits up to 20 s until the watch has printed COUNT lines
    local tries
    for ((tries = 0; tries < 400; tries++)); do
        [ "$(wc -l <"$work/watch.out")" -ge "$1" ] && return 0
        sleep 0.05
    done
    fail "watch: only $(wc -l <"$work/watch.out") of $1 lines: $(cat "$work/watch.out" "$work/watch.err")"
    return 1
}
started "$one" "$work/watch1.log" --device "$a"
: >"$work/watch.out"
# An interval well above the search's 2.5 s: the device set changes right after a search has
# printed, and the next request comes only a good while later.
ip netns exec "$ws" "$discover" --watch --interval 5 --json >"$work/watch.out" 2>"$work/watch.err" &
watcher=$!
if wait_for_lines 1; then
    stop_devsims
    started "$one" "$work/watch2.log" --device "${a/firmware=1.0/firmware=1.1}" \
        --device 'model=AP-THREE,ipv4=198.51.100.3,mac=00-00-5E-00-53-03'
    if wait_for_lines 3; then
        stop_devsims
        wait_for_lines 5
    fi
fi
kill -INT "$watcher"
wait "$watcher"
status=$?
[ "$status" = 0 ] || fail "watch: exit status $status on SIGINT"
events=$(grep -Eo '"event":"[a-z]+"|"model":"[^"]*"|"firmware":"[^"]*"' "$work/watch.out" |
    cut -d: -f2 | tr -d '"' | paste -d' ' - - -)
expected_events="appeared AP-ONE 1.0
changed AP-ONE 1.1
appeared AP-THREE 
gone AP-ONE 1.1
gone AP-THREE "
[ "$events" = "$expected_events" ] || fail "watch: events were:"$'\n'"$events"
[ "$events" != "$expected_events" ] || echo "networks: ok   watch"

end_test

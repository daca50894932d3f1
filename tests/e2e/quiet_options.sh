#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# nimbrel-utility's options (--help, -h, --help-all, --version, -v) and a bad option answer
# without sending anything: run in a network namespace of their own whose traffic a packet
# capture records, with a display and without one. A datagram sent on purpose first shows that
# the capture sees what is sent.
#
# Usage: quiet_options.sh NIMBREL-UTILITY
# Exit status: 0 passed, 1 failed, 77 skipped.
set -u

utility=${1:?path to nimbrel-utility}

test_name=quiet_options
source "$(dirname "$0")/namespaces.sh"
command -v tcpdump >/dev/null || skip "'tcpdump' is not installed"
ws=nbq-ws-$$
dev=nbq-dev-$$
add_namespaces "$ws" "$dev"

setup() {
    # The kernel's own IPv6 announcements on a new link are no program's: IPv6 stays off.
    ip netns exec "$ws" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 \
        net.ipv6.conf.default.disable_ipv6=1 &&
        ip netns exec "$dev" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 \
            net.ipv6.conf.default.disable_ipv6=1 &&
        add_cable "$ws" nbq0 198.51.100.1/24 "$dev" nbq1 198.51.100.2/24 &&
        ip -n "$ws" route add default dev nbq0 &&
        resolve_hostname "$ws" 198.51.100.1
}
setup 2>"$work/setup.err" || skip "cannot build the network: $(cat "$work/setup.err")"

# capture COMMAND...: runs COMMAND in the workstation namespace while tcpdump records every
# IPv4 packet that leaves any of its interfaces (the answers to the other side's own ARP
# requests are no program's); prints the number of packets recorded.
capture() {
    ip netns exec "$ws" tcpdump -i any -Q out -n -U -w "$work/capture.pcap" ip 2>"$work/tcpdump.err" &
    local tcpdump=$! tries
    for ((tries = 0; tries < 100; tries++)); do
        grep -q 'listening on' "$work/tcpdump.err" 2>/dev/null && break
        sleep 0.05
    done
    sleep 0.5  # the capture is attached a moment after it says so
    ip netns exec "$ws" "$@" >"$work/out" 2>"$work/err"
    echo $? >"$work/status"
    sleep 1  # what the command sent (and any answer to it) reaches the capture
    kill -INT "$tcpdump"
    wait "$tcpdump"
    tcpdump -n -r "$work/capture.pcap" 2>/dev/null >"$work/packets.txt"
    cat "$work/packets.txt" >>"$work/all-packets.txt"
    wc -l <"$work/packets.txt"
}

# The capture sees the program's request when it does search.
seen=$(capture env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" XDG_CONFIG_HOME="$work" \
    timeout 3 "$utility")
grep -q '255.255.255.255.10001: UDP, length 4' "$work/packets.txt" ||
    fail "the capture did not see the program's own request ($seen packets)"

# expect_quiet STATUS PATTERN ENVIRONMENT... -- ARGUMENTS...
expect_quiet() {
    local want_status=$1 pattern=$2
    shift 2
    local environment=()
    while [ "$1" != -- ]; do environment+=("$1"); shift; done
    shift
    local packets
    packets=$(capture env -u DISPLAY -u WAYLAND_DISPLAY "${environment[@]}" "$utility" "$@")
    local status
    status=$(cat "$work/status")
    [ "$packets" = 0 ] || fail "$* (${environment[*]}): $packets packets sent: $(cat "$work/packets.txt")"
    [ "$status" = "$want_status" ] || fail "$* (${environment[*]}): status $status"
    grep -q -- "$pattern" "$work/out" "$work/err" || fail "$* (${environment[*]}): no '$pattern'"
    [ "$failures" != 0 ] || echo "quiet_options: ok   $* (${environment[*]})"
}

for display in QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work"; do
    # Without a display (the second), and with one that any Qt program could use (the first).
    expect_quiet 0 "Usage:" "$display" -- --help
    expect_quiet 0 "Usage:" "$display" -- -h
    expect_quiet 0 "-platform" "$display" -- --help-all
    expect_quiet 0 "nimbrel-utility " "$display" -- --version
    expect_quiet 0 "nimbrel-utility " "$display" -- -v
    expect_quiet 2 "bogus" "$display" -- --bogus
done

end_test

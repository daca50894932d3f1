#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# How --all-interfaces tells a workstation's interfaces apart, with nimbrel-devsim logging the
# requests on "device" namespaces joined by veth cables to a "workstation" namespace:
#   label          a second address on the one link, under a label (nbi0:1), is the same
#                  interface: one request on the link, each device listed once, on nbi0;
#   same_address   two links holding the same IPv4 address, each to a device of its own: each
#                  link carries its own request, and each device is listed on its own link.
#
# Usage: interfaces.sh NIMBREL-DISCOVER NIMBREL-DEVSIM
# Exit status: 0 passed, 1 failed, 77 skipped (no namespaces here).
set -u

discover=${1:?path to nimbrel-discover}
devsim=${2:?path to nimbrel-devsim}

test_name=interfaces
source "$(dirname "$0")/namespaces.sh"
ws=nbi-ws-$$
one=nbi-one-$$
two=nbi-two-$$
add_namespaces "$ws" "$one" "$two"

setup() {
    add_cable "$ws" nbi0 198.51.100.1/24 "$one" nbi1 198.51.100.2/24 &&
        ip -n "$ws" addr add 198.51.100.5/24 dev nbi0 label nbi0:1 &&
        resolve_hostname "$ws" 198.51.100.1
}
setup 2>"$work/setup.err" || skip "cannot build the two-namespace network: $(cat "$work/setup.err")"

# started NAMESPACE NAME DEVSIM-ARGUMENTS...: a simulator that logs the requests in NAME.log.
started() {
    local namespace=$1 name=$2
    shift 2
    start_devsim "$namespace" "$work/$name.out" --log "$work/$name.log" "$@" ||
        fail "a simulator did not start: $(cat "$work/$name.out")"
}

# listed: the devices of the last search, "MODEL INTERFACE" one a line, sorted (replies that
# come on two links come in whichever order the network takes).
listed() {
    grep -Eo '"model":"[^"]*"|"interface":("[^"]*"|null)' "$work/$case_name.json" |
        cut -d: -f2 | tr -d '"' | paste -d' ' - - | sort
}

# search EXPECTED-DEVICES: one search with --all-interfaces lists exactly these devices.
search() {
    if ! ip netns exec "$ws" "$discover" --json --all-interfaces >"$work/$case_name.json" \
        2>"$work/$case_name.err"; then
        fail "exit status $?: $(cat "$work/$case_name.err")"
        return
    fi
    local actual
    actual=$(listed)
    [ "$actual" = "$1" ] || fail "listed '$actual', expected '$1'"
    [ -s "$work/$case_name.err" ] && fail "unexpected stderr: $(cat "$work/$case_name.err")"
}

case_begin label
started "$one" label --device 'model=AP-A,ipv4=198.51.100.2,mac=00-00-5E-00-53-0A' \
    --device 'model=AP-B,ipv4=198.51.100.3,mac=00-00-5E-00-53-0B'
search $'AP-A nbi0\nAP-B nbi0'
stop_devsims
one_request "$work/label.log"
case_end

# The label's address goes, and a second link with the same address as the first joins.
case_begin same_address
second() {
    ip -n "$ws" addr del 198.51.100.5/24 dev nbi0 label nbi0:1 &&
        add_cable "$ws" nbi2 198.51.100.1/24 "$two" nbi3 198.51.100.2/24
}
if second 2>"$work/second.err"; then
    started "$one" first --device 'model=AP-ONE,ipv4=198.51.100.2,mac=00-00-5E-00-53-01'
    started "$two" second --device 'model=AP-TWO,ipv4=198.51.100.2,mac=00-00-5E-00-53-02'
    search $'AP-ONE nbi0\nAP-TWO nbi2'
    stop_devsims
    one_request "$work/first.log"
    one_request "$work/second.log"
else
    fail "cannot add the second link: $(cat "$work/second.err")"
fi
case_end
end_test

#!/bin/bash
# SPDX-License-Identifier: MIT
# Runs the program given in a network namespace of its own with two veth pairs: veth0 holds
# 198.51.100.1/24 and, under the address label veth0:1, 198.51.100.9/24; veth2 holds
# 198.51.100.1/24 too (another network with the same addresses); veth3 holds 203.0.113.70/26 and
# veth1 no address. Skipped (status 77), with the reason, where such a namespace cannot be made.
set -u
program=$1

skip() {
    echo "SKIP: $1"
    exit 77
}

[ "$(id -u)" = 0 ] || skip "making network interfaces needs root"
command -v ip > /dev/null || skip "the ip command (iproute2) is missing"
unshare -n true 2> /dev/null || skip "cannot make a network namespace here"

exec unshare -n bash -c '
    set -e
    ip link set lo up
    if ! ip link add veth0 type veth peer name veth1 2> /dev/null ||
        ! ip link add veth2 type veth peer name veth3 2> /dev/null; then
        echo "SKIP: cannot make veth pairs here"
        exit 77
    fi
    ip addr add 198.51.100.1/24 dev veth0
    ip addr add 198.51.100.9/24 dev veth0 label veth0:1
    ip addr add 198.51.100.1/24 dev veth2
    ip addr add 203.0.113.70/26 dev veth3
    for link in veth0 veth1 veth2 veth3; do
        ip link set "$link" up
    done
    exec "$0"
' "$program"

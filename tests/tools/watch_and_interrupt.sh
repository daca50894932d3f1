#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# nimbrel-discover interrupted on a terminal (Ctrl+C during a plain search): its progress line
# ends with a line break and the program ends by the signal. The search goes from 127.0.0.1 to
# a simulator in a network namespace of this script's own, which holds loopback alone. (How a
# watch ends when stopped or when its reader goes is tested end to end, in e2e/watch_ends.sh.)
set -euo pipefail

discover=${1:?path to nimbrel-discover}
devsim=${2:?path to nimbrel-devsim}

if [ -z "${NIMBREL_WATCH_TEST_INSIDE:-}" ]; then
    if ! unshare -n true 2>/dev/null; then
        echo "SKIPPED: no network namespace can be made here (needs root)"
        exit 77
    fi
    exec unshare -n env NIMBREL_WATCH_TEST_INSIDE=1 bash "$0" "$@"
fi
ip link set lo up
command -v script >/dev/null || { echo "SKIPPED: 'script' (util-linux) is missing"; exit 77; }

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

"$devsim" --device "model=AP,ipv4=198.51.100.10,mac=00-11-22-33-44-10" >"$work/devsim.out" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q listening "$work/devsim.out" && break; sleep 0.1; done
grep -q listening "$work/devsim.out" || fail "the simulator did not start: $(cat "$work/devsim.out")"

status=0
script -qec "sh -c 'echo \$\$ >$work/plain.pid; exec $discover --from 127.0.0.1'" \
    /dev/null >"$work/terminal" </dev/null &
terminal=$!
for _ in $(seq 50); do [ -s "$work/plain.pid" ] && break; sleep 0.1; done
sleep 1.3
kill -INT "$(cat "$work/plain.pid")"
wait "$terminal" || status=$?
[ "$status" = 130 ] || fail "interrupted search: status $status"
shown=$(od -An -c "$work/terminal" | tr -s ' ')
# The terminal turns the line break into CR LF.
[ "$(tail -c 3 "$work/terminal" | od -An -tx1 | tr -d ' ')" = 730d0a ] ||
    fail "interrupted search: the progress line does not end with a line break: $shown"
echo "ok"

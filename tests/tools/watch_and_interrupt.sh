#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# nimbrel-discover ended from outside: a watch whose reader stalls ends within moments of SIGINT
# or SIGTERM with status 0; a watch whose reader has gone ends after the search that found it
# gone, with status 1 and "write error: Broken pipe"; a plain search interrupted on a terminal
# ends its progress line. Searches go from 127.0.0.1 to a simulator in a network namespace of
# this script's own, which holds loopback alone.
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

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# Enough devices that their JSON lines overfill a pipe (64 KiB) that nobody reads: each one's
# control characters take six bytes apiece there (\u0001), about 900 bytes a line.
controls=$(printf '\001%.0s' $(seq 64))
devices=()
for i in $(seq 10 39); do
    for j in 1 2 3 4; do
        devices+=(--device "model=AP,ipv4=198.51.100.$i,mac=00-11-22-33-4$j-$i,firmware=$controls,copy=$controls")
    done
done
"$devsim" --log "$work/requests.log" "${devices[@]}" >"$work/devsim.out" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q listening "$work/devsim.out" && break; sleep 0.1; done
grep -q listening "$work/devsim.out" || fail "the simulator did not start: $(cat "$work/devsim.out")"
requests() { wc -l <"$work/requests.log"; }

# A stalled reader: the watch blocks writing its first changes, and a stop ends it all the same.
for signal in INT TERM; do
    : >"$work/requests.log"
    mkfifo "$work/pipe-$signal"
    sleep 60 <"$work/pipe-$signal" &
    pids+=($!)
    "$discover" --from 127.0.0.1 --watch --interval 3 --json \
        >"$work/pipe-$signal" 2>"$work/stalled-$signal.err" &
    watcher=$!
    # Blocked: the second search, due 3 s after the first, does not start.
    for _ in $(seq 50); do [ "$(requests)" -ge 1 ] && break; sleep 0.1; done
    sleep 4
    [ "$(requests)" = 1 ] || fail "SIG$signal: the watch was not held up by its reader: $(requests) searches; $(cat "$work/stalled-$signal.err")"
    kill -0 "$watcher" || fail "SIG$signal: the watch ended before the signal"
    start=$(now_ms)
    kill -s "$signal" "$watcher"
    status=0
    wait "$watcher" || status=$?
    took=$(( $(now_ms) - start ))
    [ "$status" = 0 ] ||
        fail "SIG$signal with a stalled reader: status $status: $(cat "$work/stalled-$signal.err")"
    # 100 ms is what the watch promises; the bound here leaves room for a loaded machine.
    [ "$took" -le 300 ] || fail "SIG$signal with a stalled reader: ended after $took ms"
done

# A reader that has gone: told before the next search, not at the next change (none comes).
: >"$work/requests.log"
start=$(now_ms)
{
    status=0
    "$discover" --from 127.0.0.1 --watch --interval 5 --json 2>"$work/closed.err" || status=$?
    echo "$status" >"$work/closed.status"
} | head -1 >/dev/null
status=$(cat "$work/closed.status")
took=$(( $(now_ms) - start ))
[ "$status" = 1 ] || fail "closed reader: status $status"
[ "$(cat "$work/closed.err")" = "nimbrel-discover: write error: Broken pipe" ] ||
    fail "closed reader: stderr $(cat "$work/closed.err")"
[ "$(requests)" = 1 ] && [ "$took" -lt 5000 ] ||
    fail "closed reader: $(requests) searches, $took ms"

# A plain search on a terminal, interrupted: its progress line ends with a line break and the
# program ends by the signal.
if command -v script >/dev/null; then
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
fi
echo "ok"

#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# How nimbrel-discover --watch ends when its reader misbehaves, on a "workstation" namespace
# joined by a veth cable to a "device" namespace:
#   stalled_reader  its stdout is a pipe whose reader never reads; once the watch has filled
#                   the pipe and cannot write on, SIGTERM or SIGINT ends it at once, with
#                   status 0;
#   closed_reader   `--watch --interval 3 | head -1` while nothing changes: once head has its
#                   line and is gone, the watch ends with status 1 and "write error: Broken
#                   pipe" before its next search.
#
# Usage: watch_ends.sh NIMBREL-DISCOVER NIMBREL-DEVSIM
# Exit status: 0 passed, 1 failed, 77 skipped (no namespaces here).
set -u

discover=${1:?path to nimbrel-discover}
devsim=${2:?path to nimbrel-devsim}

# The longest a stopped watch may take to end; it is meant to take under 100 ms, and the
# bound leaves room for a busy machine.
stop_bound_ms=300

test_name=watch_ends
source "$(dirname "$0")/namespaces.sh"
two_namespaces nbe

# pipe_stalled FIFO: the pipe behind FIFO holds more than half of its 64 KiB and nothing more
# comes for half a second: its writer cannot go on. (The bytes waiting are asked for with
# FIONREAD through a read end of our own that reads nothing.)
pipe_stalled() { # shellcheck disable=SC2317 # run through wait_until
    perl -MFcntl -MTime::HiRes=sleep -e '
        sysopen(my $pipe, $ARGV[0], O_RDONLY | O_NONBLOCK) or exit 2;
        sub waiting { my $n = pack("i", 0); ioctl($pipe, 0x541B, $n) or exit 2; unpack("i", $n) }
        my $before = waiting();
        sleep 0.5;
        exit($before > 32768 && waiting() == $before ? 0 : 1)' "$1"
}

# --- stalled_reader: 400 devices appear, far more JSON lines than a pipe holds. ------------------
# Their replies are spread over 2 s, 5 ms apart, so that every search reads them all whatever
# its receive buffer.
case_begin stalled_reader
devices=()
copy=$(printf 'x%.0s' {1..64})
for ((n = 1; n <= 400; n++)); do
    devices+=(--device "$(printf 'model=AP-%d,mac=02-00-00-00-%02X-%02X,copy=%s,delay=%d' \
        "$n" $((n >> 8)) $((n & 255)) "$copy" $((1000 + 5 * n)))")
done
start_devsim "$dev" "$work/many.out" "${devices[@]}" ||
    fail "the simulator did not start: $(cat "$work/many.out")"
for signal in TERM INT; do
    mkfifo "$work/pipe-$signal"
    # shellcheck disable=SC2217 # the reader opens the pipe and never reads it, on purpose
    sleep 120 <"$work/pipe-$signal" &
    pids+=($!)
    ip netns exec "$ws" "$discover" --watch --interval 3 --json >"$work/pipe-$signal" \
        2>"$work/stalled.err" &
    watcher=$!
    if wait_until 30 pipe_stalled "$work/pipe-$signal"; then
        start=$(now_ms)
        kill -s "$signal" "$watcher"
        if wait_until 10 gone "$watcher"; then
            elapsed=$(($(now_ms) - start))
            wait "$watcher"
            status=$?
            [ "$status" = 0 ] || fail "exit status $status on SIG$signal, expected 0"
            ((elapsed <= stop_bound_ms)) ||
                fail "ended $elapsed ms after SIG$signal, expected within $stop_bound_ms ms"
            case_end "ended $elapsed ms after SIG$signal"
        else
            fail "still running 10 s after SIG$signal"
        fi
    else
        fail "the watch never filled the pipe: $(cat "$work/stalled.err")"
    fi
    kill -KILL "$watcher" 2>/dev/null
    wait "$watcher" 2>/dev/null
done
stop_devsims

# --- closed_reader: two devices that answer every search the same way. ---------------------
case_begin closed_reader
interval=3
start_devsim "$dev" "$work/devsim.out" --log "$work/requests.log" \
    --device 'model=AP-1,ipv4=198.51.100.2,mac=00-00-5E-00-53-01' \
    --device 'model=AP-2,ipv4=198.51.100.3,mac=00-00-5E-00-53-02' ||
    fail "the simulator did not start: $(cat "$work/devsim.out")"
start=$(now_ms)
# The time limit only keeps a watch that never ends from holding the test up.
timeout -s KILL 15 ip netns exec "$ws" "$discover" --watch --interval "$interval" \
    2>"$work/closed.err" | head -1 >"$work/head.out"
statuses=("${PIPESTATUS[@]}")
elapsed=$(($(now_ms) - start))
stop_devsims
# The first search takes 2.5 s (1 s pause, 1.5 s quiet); the next would start at 3 s.
bound_ms=$((interval * 1000 + 1500))
[ "${statuses[0]}" = 1 ] ||
    fail "nimbrel-discover ended with status ${statuses[0]}, expected 1: $(cat "$work/closed.err")"
[ "$(cat "$work/closed.err")" = "nimbrel-discover: write error: Broken pipe" ] ||
    fail "stderr: $(cat "$work/closed.err")"
grep -q ' appeared AP-[12] ' "$work/head.out" || fail "head read '$(cat "$work/head.out")'"
((elapsed <= bound_ms)) || fail "the pipeline took $elapsed ms, expected at most $bound_ms ms"
requests=$(wc -l <"$work/requests.log")
[ "$requests" = 1 ] || fail "the devices saw $requests requests, expected only the first search's"
case_end "ended after $elapsed ms with status 1"

end_test

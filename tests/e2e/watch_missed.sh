#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# nimbrel-discover --watch --json over devices that miss searches, on a "workstation" namespace
# joined by a veth cable to a "device" namespace. Each search is answered by a simulator of its
# own that ends after that one request, so that the devices of every search are known:
#   search 1  KEEP 1.0, ONCE, TWICE   three "appeared"
#   search 2  KEEP 1.0, TWICE         nothing: ONCE has missed one search
#   search 3  KEEP 1.1, ONCE          KEEP "changed" ["firmware"]; ONCE is back, no event
#   search 4  KEEP 1.1, ONCE          TWICE "gone": it has missed two searches in a row
# Every line is one JSON object; each event's time lies between the end of its search's
# simulator (which answers at once) and 4 s later (the search ends 2.5 s after its request).
#
# Usage: watch_missed.sh NIMBREL-DISCOVER NIMBREL-DEVSIM
# Exit status: 0 passed, 1 failed, 77 skipped (no namespaces here).
set -u

discover=${1:?path to nimbrel-discover}
devsim=${2:?path to nimbrel-devsim}

test_name=watch_missed
source "$(dirname "$0")/namespaces.sh"
two_namespaces nbm

keep='model=AP-KEEP,ipv4=198.51.100.11,mac=02-00-00-00-00-11,firmware=1.0'
once='model=AP-ONCE,ipv4=198.51.100.12,mac=02-00-00-00-00-12,firmware=1.0'
twice='model=AP-TWICE,ipv4=198.51.100.13,mac=02-00-00-00-00-13,firmware=1.0'
searches=(
    "$keep $once $twice"
    "$keep $twice"
    "${keep/1.0/1.1} $once"
    "${keep/1.0/1.1} $once"
)

# answer_once N: a simulator for search N that answers one request with that search's devices.
answer_once() {
    local device arguments=()
    for device in ${searches[$1]}; do
        arguments+=(--device "$device")
    done
    start_devsim "$dev" "$work/devsim$1.out" --requests 1 "${arguments[@]}" ||
        fail "simulator $1 did not start: $(cat "$work/devsim$1.out")"
}

run_start=$(now_ms)
answer_once 0
ip netns exec "$ws" "$discover" --watch --interval 3 --json >"$work/watch.out" \
    2>"$work/watch.err" &
watcher=$!
pids=("$watcher" "${pids[@]}")
answered=()
for ((search = 0; search < ${#searches[@]}; search++)); do
    simulator=${pids[-1]}
    if ! wait_until 15 gone "$simulator"; then
        fail "search $((search + 1)) was not answered within 15 s: $(cat "$work/watch.err")"
        break
    fi
    answered+=("$(now_ms)")
    wait "$simulator"
    pids=("$watcher")
    ((search + 1 < ${#searches[@]})) && answer_once $((search + 1))
done
# shellcheck disable=SC2317 # run through wait_until
gone_printed() { grep -q '"event":"gone"' "$work/watch.out"; }
wait_until 10 gone_printed || fail "no 'gone' within 10 s of the last search"
kill -INT "$watcher"
wait "$watcher"
status=$?
pids=()
run_end=$(now_ms)
[ "$status" = 0 ] || fail "exit status $status on SIGINT"
[ -s "$work/watch.err" ] && fail "unexpected stderr: $(head -5 "$work/watch.err")"

# One line per event: the event, model, firmware, the fields changed, and the search (1 to 4)
# whose time window holds its time; or why a line is wrong.
events=$(python3 - "$work/watch.out" "$run_start" "$run_end" "${answered[@]}" <<'EOF'
import datetime, json, sys

path, start, end, answered = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4:]
for number, text in enumerate(open(path, encoding="utf-8"), 1):
    try:
        line = json.loads(text)
        stamp = line["time"]
        when = datetime.datetime.strptime(stamp, "%Y-%m-%dT%H:%M:%S.%fZ")
    except (ValueError, KeyError) as error:
        print(f"line {number} is no event with a time: {error}: {text!r}")
        continue
    ms = int(when.replace(tzinfo=datetime.timezone.utc).timestamp() * 1000 + 0.5)
    if len(stamp) != 24 or not start <= ms <= end:
        print(f"line {number}: time {stamp} is not within the run")
    search = [n + 1 for n, at in enumerate(answered) if int(at) <= ms <= int(at) + 4000]
    device = line["device"]
    changed = ",".join(line.get("changed", ["-"]))
    print(line["event"], device["model"], device["firmware"], changed,
          "search", "/".join(map(str, search)) or "none")
EOF
)
expected="appeared AP-KEEP 1.0 - search 1
appeared AP-ONCE 1.0 - search 1
appeared AP-TWICE 1.0 - search 1
changed AP-KEEP 1.1 firmware search 3
gone AP-TWICE 1.0 - search 4"
[ "$events" = "$expected" ] || fail "events were:"$'\n'"$events"$'\n'"output:"$'\n'"$(cat "$work/watch.out")"
[ "$events" != "$expected" ] || cat "$work/watch.out"

end_test "ONCE missed one search: no event; TWICE missed two: one 'gone', in search 4's time"

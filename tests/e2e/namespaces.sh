# shellcheck shell=bash
# SPDX-License-Identifier: MIT
# Sourced by the end-to-end scripts: network namespaces of their own, removed again when the
# script ends, a simulator started in one of them, and the skip that a test without root or
# iproute2 takes. Set `test_name` before sourcing.

# skip REASON: ends the script as skipped.
skip() {
    # shellcheck disable=SC2154 # set by the script that sources this file
    echo "$test_name: SKIPPED: $*"
    exit 77
}

[ "$EUID" = 0 ] || skip "creating network namespaces needs root"
command -v ip >/dev/null || skip "'ip' (iproute2) is not installed"

work=$(mktemp -d)
namespaces=()
pids=()

cleanup() {
    local namespace
    stop_devsims
    for namespace in "${namespaces[@]}"; do
        ip netns del "$namespace" 2>/dev/null
        rm -rf "/etc/netns/$namespace"
    done
    rmdir /etc/netns 2>/dev/null
    rm -rf "$work"
    return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# add_namespaces NAME...: new, empty network namespaces, or a skip where none can be made.
add_namespaces() {
    local namespace
    for namespace in "$@"; do
        ip netns add "$namespace" 2>"$work/netns.err" ||
            skip "ip netns add failed: $(cat "$work/netns.err")"
        namespaces+=("$namespace")
    done
}

# resolve_hostname NAMESPACE ADDRESS: in NAMESPACE, this computer's host name resolves to
# ADDRESS (ip netns exec mounts /etc/netns/NAMESPACE/hosts over /etc/hosts).
resolve_hostname() {
    mkdir -p "/etc/netns/$1" &&
        printf '127.0.0.1 localhost\n%s %s\n' "$2" "$(hostname)" >"/etc/netns/$1/hosts"
}

# start_devsim NAMESPACE LOG DEVSIM-ARGUMENTS...: a simulator in NAMESPACE, once it listens;
# its pid is the last of `pids`. Returns 1 when it did not start.
start_devsim() {
    local namespace=$1 log=$2 tries
    shift 2
    # shellcheck disable=SC2154 # set by the script that sources this file
    ip netns exec "$namespace" "$devsim" "$@" >"$log" 2>&1 &
    pids+=($!)
    for ((tries = 0; tries < 100; tries++)); do
        grep -q 'listening on' "$log" 2>/dev/null && return 0
        kill -0 "${pids[-1]}" 2>/dev/null || break
        sleep 0.05
    done
    return 1
}

# stop_devsims: ends the simulators started so far and waits for them.
stop_devsims() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    pids=()
}

# add_cable NAMESPACE LINK ADDRESS PEER-NAMESPACE PEER-LINK PEER-ADDRESS: a veth cable from
# LINK in NAMESPACE to PEER-LINK in PEER-NAMESPACE, each end up with its address (prefix
# included, "" for none), loopback up on both sides.
add_cable() {
    ip -n "$1" link add "$2" type veth peer name "$5" netns "$4" &&
        { [ -z "$3" ] || ip -n "$1" addr add "$3" dev "$2"; } &&
        { [ -z "$6" ] || ip -n "$4" addr add "$6" dev "$5"; } &&
        ip -n "$1" link set lo up && ip -n "$4" link set lo up &&
        ip -n "$1" link set "$2" up && ip -n "$4" link set "$5" up
}

# one_request LOG: a simulator's request log (--log) holds exactly one datagram: the request,
# from 198.51.100.1 (the address that the host name resolves to).
one_request() {
    local log
    log=$(cat "$1" 2>/dev/null)
    [[ "$log" =~ ^from\ 198\.51\.100\.1:[0-9]+\ 01000000$ ]] ||
        fail "$(basename "$1"): not exactly one request 01000000 from 198.51.100.1: '$log'"
}

# now_ms: the time in ms, for the elapsed times that the tests bound (bash's own clock: no
# process is started for it).
now_ms() {
    local microseconds=${EPOCHREALTIME//[.,]/}
    echo $((microseconds / 1000))
}

# gone PID: the process has ended (a zombie until this shell waits for it).
gone() { # shellcheck disable=SC2317 # run through wait_until
    [ ! -e "/proc/$1" ] || [ "$(sed 's/^.*) \(.\).*$/\1/' "/proc/$1/stat" 2>/dev/null)" = Z ]
}

# wait_until SECONDS COMMAND...: runs COMMAND every 50 ms until it succeeds (status 0) or
# SECONDS have passed (status 1).
wait_until() {
    local deadline=$(($(now_ms) + $1 * 1000))
    shift
    until "$@"; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.05
    done
}

# two_namespaces PREFIX: the usual network, or a skip: a "workstation" namespace $ws joined by
# a veth cable from PREFIX0 (198.51.100.1/24, its default route and the address this computer's
# host name resolves to there) to PREFIX1 (198.51.100.2/24) in a "device" namespace $dev.
two_namespaces() {
    ws=$1-ws-$$
    dev=$1-dev-$$
    add_namespaces "$ws" "$dev"
    { add_cable "$ws" "${1}0" 198.51.100.1/24 "$dev" "${1}1" 198.51.100.2/24 &&
        ip -n "$ws" route add default dev "${1}0" &&
        resolve_hostname "$ws" 198.51.100.1; } 2>"$work/setup.err" ||
        skip "cannot build the two-namespace network: $(cat "$work/setup.err")"
}

# Scripts that check on after a failure count their failures with `fail`, and `case_begin NAME`
# / `case_end [NOTE]` report a case "ok" when it recorded none; `end_test` ends the script,
# PASSED with status 0 when nothing failed. A script may define its own fail first.
failures=0
declare -F fail >/dev/null || fail() {
    echo "$test_name: FAIL${case_name:+ $case_name}: $*"
    failures=$((failures + 1))
}
case_begin() {
    case_name=$1
    failures_before=$failures
}
# shellcheck disable=SC2120 # the note is optional
case_end() {
    [ "$failures" != "$failures_before" ] || echo "$test_name: ok   $case_name${1:+ ($1)}"
}
# shellcheck disable=SC2120 # the note is optional
end_test() {
    [ "$failures" = 0 ] || exit 1
    echo "$test_name: PASSED${1:+, $1}"
    exit 0
}

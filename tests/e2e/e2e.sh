#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End to end with the real constants: nimbrel-discover --json on a "workstation" and
# nimbrel-devsim on a "device" network namespace, joined by a veth cable, so that the broadcast
# to 255.255.255.255:10001 stays between the two. Each case runs its own simulator, or the
# misbehaving device e2e_device.
#
# Usage: e2e.sh NIMBREL-DISCOVER NIMBREL-DEVSIM E2E-DEVICE
# Exit status: 0 all cases passed, 1 a case failed, 77 skipped (no namespaces here).
set -u

discover=${1:?path to nimbrel-discover}
devsim=${2:?path to nimbrel-devsim}
device=${3:?path to e2e_device}

test_name=e2e
source "$(dirname "$0")/namespaces.sh"
command -v od >/dev/null || skip "'od' is not installed"
ws=nbt-ws-$$
dev=nbt-dev-$$
add_namespaces "$ws" "$dev"

# Everything is made inside the two new namespaces; the namespace that runs this script is
# never touched. The workstation side carries a decoy primary address, so that only a bind to
# the looked-up address makes the request leave from 198.51.100.1.
setup() {
    add_cable "$ws" nbt0 198.51.100.3/24 "$dev" nbt1 198.51.100.2/24 &&
        ip -n "$ws" addr add 198.51.100.1/24 dev nbt0 &&
        ip -n "$ws" route add default dev nbt0 &&
        ip -n "$dev" route add default dev nbt1 &&
        resolve_hostname "$ws" 198.51.100.1
}
setup 2>"$work/setup.err" || skip "cannot build the two-namespace network: $(cat "$work/setup.err")"

# --- helpers ------------------------------------------------------------------------------

hex_of() { printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n'; }
hex_byte() { printf '%02x' "$1"; }
repeat_hex() { # BYTE COUNT
    local out='' i
    for ((i = 0; i < $2; i++)); do out+=$1; done
    printf '%s' "$out"
}

passed=0
failed=0
failures=()

fail() {
    failures+=("$case_name: $*")
    echo "e2e: FAIL $case_name: $*"
}

# run_case NAME EXPECTED_STATUS EXPECTED_STDOUT EXPECTED_STDERR_PART -- DEVSIM-ARGUMENTS...
# EXPECTED_STDERR_PART "" means stderr must be empty.
run_case() {
    case_name=$1
    local want_status=$2 want_out=$3 want_err=$4
    shift 5
    local dir="$work/$case_name"
    mkdir -p "$dir"
    local errors_before=${#failures[@]}

    start_devsim "$dev" "$dir/devsim.out" --log "$dir/requests.log" "$@"
    if ! grep -q 'listening on 0.0.0.0:10001' "$dir/devsim.out"; then
        fail "the simulator did not start: $(cat "$dir/devsim.out")"
    fi

    ip netns exec "$ws" "$discover" --json >"$dir/stdout" 2>"$dir/stderr"
    local status=$?

    kill -TERM "${pids[-1]}" 2>/dev/null
    wait "${pids[-1]}"
    local devsim_status=$?
    pids=()

    [ "$status" = "$want_status" ] || fail "exit status $status, expected $want_status"
    check_devices "$dir" "$want_out"
    local err
    err=$(cat "$dir/stderr")
    if [ -z "$want_err" ]; then
        [ -z "$err" ] || fail "unexpected stderr: $err"
    elif [[ "$err" != *"$want_err"* ]]; then
        fail "stderr lacks $(printf '%q' "$want_err"): $(printf '%q' "$err")"
    fi
    one_request "$dir/requests.log"
    [ "$devsim_status" = 0 ] || fail "the simulator ended with status $devsim_status on SIGTERM"
    finish_case
}

# A device's fields as nimbrel-discover prints them in JSON; the word null stands for a field
# that the device did not send.
json_device() { # MODEL IPV4 MAC FIRMWARE COPY (already JSON-escaped, UTF-8)
    local key value out=
    for key in model ipv4 mac firmware copy_text; do
        value=$1
        shift
        [ -z "$out" ] || out+=,
        if [ "$value" = null ]; then out+="\"$key\":null"; else out+="\"$key\":\"$value\""; fi
    done
    printf '{%s}' "$out"
}

# The devices' fields in order, one line per field, whatever else the JSON carries.
device_fields() { # FILE
    grep -Eo '"(model|ipv4|mac|firmware|copy_text)":("([^"\\]|\\.)*"|null)' "$1"
}

# check_devices DIR EXPECTED-DEVICES: the JSON on DIR/stdout lists exactly these devices.
check_devices() {
    printf '%s\n' "$2" >"$1/expected"
    device_fields "$1/expected" >"$1/expected.fields"
    device_fields "$1/stdout" >"$1/actual.fields"
    cmp -s "$1/expected.fields" "$1/actual.fields" ||
        fail "devices differ:"$'\n'"  expected: $(tr '\n' ' ' <"$1/expected.fields")"$'\n'"  actual:   $(cat "$1/stdout")"
}

# run_device_case NAME MODE HEX [MS]: e2e_device answers; prints how long the search took (ms)
# into $dir/elapsed and checks that the request left from the looked-up address.
run_device_case() {
    case_name=$1
    local dir="$work/$case_name"
    mkdir -p "$dir"
    ip netns exec "$dev" "$device" "${@:2}" >"$dir/device.out" 2>&1 &
    pids+=($!)
    wait_until 5 grep -q listening "$dir/device.out"
    local start
    start=$(now_ms)
    ip netns exec "$ws" "$discover" --json >"$dir/stdout" 2>"$dir/stderr"
    echo $? >"$dir/status"
    echo $(($(now_ms) - start)) >"$dir/elapsed"
    stop_devsims
    grep -q '^request from 198\.51\.100\.1:' "$dir/device.out" ||
        fail "the request did not come from 198.51.100.1: $(cat "$dir/device.out")"
}

# finish_case: counts the case as passed when it recorded no failure since `errors_before`.
finish_case() {
    if [ "${#failures[@]}" = "$errors_before" ]; then
        passed=$((passed + 1))
        echo "e2e: ok   $case_name"
    else
        failed=$((failed + 1))
    fi
}

# --- cases --------------------------------------------------------------------------------

ap=model=QZL-TMR1-AC,ipv4=198.51.100.2,mac=00-11-22-33-44-55,firmware=1.4.2,copy=Caf$'\xe9'
ap_json=$(json_device QZL-TMR1-AC 198.51.100.2 00-11-22-33-44-55 1.4.2 $'Caf\xc3\xa9')
bridge='model=QZL-BR5,ipv4=198.51.100.20,mac=0a:1b:2c:3d:4e:5f,firmware=2.0 "b",copy=C:\path'
bridge_json=$(json_device QZL-BR5 198.51.100.20 0A-1B-2C-3D-4E-5F '2.0 \"b\"' 'C:\\path')

# A raw reply: an address element for 198.51.100.7 and a model with an escape character in it.
raw_reply=0100001302000a0a0b0c0d0e0fc63364070c0003411b42
raw_json=$(json_device 'A\u001bB' 198.51.100.7 0A-0B-0C-0D-0E-0F null null)

run_case table 0 "$ap_json,$bridge_json,$raw_json" "" -- \
    --device "$ap" --delay 100 --device "$bridge" --device "$ap" --delay 200 --reply-hex "$raw_reply"

run_case late_reply 0 "$ap_json" "" -- \
    --device "$ap" --delay 4000 --device "$bridge"

run_case empty_datagram 0 "$ap_json" "" -- \
    --device "$ap" --delay 100 --reply-hex "" --delay 200 --device "$bridge"

# Replies of a given total length whose copy text is their last 64 bytes: only a datagram that
# is read whole yields all of it.
long_reply() { # TOTAL-LENGTH
    local filler=$(($1 - 4 - 13 - 6 - 67 - 3))
    printf '%s' "010000$(hex_byte $(($1 - 4)))"
    printf '%s' "02000a" "001122334466" "c6336409"    # MAC and 198.51.100.9
    printf '%s' "0c0003" "$(hex_of BIG)"
    printf '%s' "1400$(hex_byte "$filler")" "$(repeat_hex ee "$filler")"
    printf '%s' "0f0040" "$(repeat_hex 78 63)" "7a"  # 63 times "x", then "z"
}
long_json=$(json_device BIG 198.51.100.9 00-11-22-33-44-66 null "$(printf 'x%.0s' {1..63})z")

run_case reply_201_bytes 0 "$long_json" "" -- --reply-hex "$(long_reply 201)"

# An over-long datagram between two good replies is dropped, and both devices are listed.
run_case reply_202_bytes 0 "$ap_json,$bridge_json" "over-long" -- \
    --device "$ap" --delay 100 --reply-hex "$(long_reply 202)" --delay 200 --device "$bridge"

# Fifty devices, listed in the order of their replies, none left out.
many=()
many_json=
for n in $(seq 1 50); do
    many+=(--device "model=DEV-$n,ipv4=198.51.100.$((100 + n)),mac=00-00-00-00-00-$(hex_byte "$n")")
    [ -z "$many_json" ] || many_json+=,
    many_json+=$(json_device "DEV-$n" "198.51.100.$((100 + n))" "00-00-00-00-00-$(printf '%02X' "$n")" '' '')
done
run_case fifty_devices 0 "$many_json" "" -- "${many[@]}"

# No device answers the search: the simulator's one reply would come only after the search
# has ended, and the simulator is stopped before that.
run_case no_device 0 "" "" -- --delay 5000 --device "$ap"

# A device that answers to 255.255.255.255 instead of the request's source is found.
errors_before=${#failures[@]}
run_device_case broadcast_reply broadcast "$raw_reply"
[ "$(cat "$work/broadcast_reply/status")" = 0 ] || fail "exit status $(cat "$work/broadcast_reply/status")"
check_devices "$work/broadcast_reply" "$raw_json"
finish_case

# A device that never stops answering: the search ends at its bound (1 s pause and 10 s) and
# lists what it read. The time is taken around the whole program, start and look-up included,
# on a machine that may be busy; the benchmark measures the bound itself.
errors_before=${#failures[@]}
run_device_case endless_stream stream "$raw_reply" 50
[ "$(cat "$work/endless_stream/status")" = 0 ] || fail "exit status $(cat "$work/endless_stream/status")"
check_devices "$work/endless_stream" "$raw_json"
elapsed=$(cat "$work/endless_stream/elapsed")
if [ "$elapsed" -lt 10900 ] || [ "$elapsed" -gt 14000 ]; then
    fail "the search took $elapsed ms, expected about 11000"
fi
finish_case

# --- summary ------------------------------------------------------------------------------

total=$((passed + failed))
if [ "$failed" = 0 ]; then
    echo "e2e: PASSED: $passed of $total cases"
    exit 0
fi
echo "e2e: FAILED: $failed of $total cases"
exit 1

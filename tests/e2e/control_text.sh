#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A device whose texts hold control characters (CR LF, escape sequences, the end of a bracketed
# paste ESC [ 2 0 1 ~, the C1 byte 0x9b, DEL): nimbrel-discover prints none of them raw, in its
# table or its JSON, and still shows the rest of the texts. nimbrel-devsim answers on a "device"
# namespace joined by a veth cable to the "workstation" namespace. (window_text.sh does the same
# for the window.)
#
# Usage: control_text.sh NIMBREL-DISCOVER NIMBREL-DEVSIM
# Exit status: 0 passed, 1 failed, 77 skipped (no namespaces here).
set -u

discover=${1:?path to nimbrel-discover}
devsim=${2:?path to nimbrel-devsim}

test_name=control_text
source "$(dirname "$0")/namespaces.sh"
command -v iconv >/dev/null || skip "'iconv' is not installed"
ws=nbc-ws-$$
dev=nbc-dev-$$
add_namespaces "$ws" "$dev"

setup() {
    add_cable "$ws" nbc0 198.51.100.1/24 "$dev" nbc1 198.51.100.2/24 &&
        ip -n "$ws" route add default dev nbc0 &&
        resolve_hostname "$ws" 198.51.100.1
}
setup 2>"$work/setup.err" || skip "cannot build the two-namespace network: $(cat "$work/setup.err")"

failures=0
fail() {
    echo "control_text: FAIL $case_name: $*"
    failures=$((failures + 1))
}
finish() {
    [ "$failures" = "$failures_before" ] && echo "control_text: ok   $case_name"
}

# Each text at most 64 bytes and without a comma, as the simulator takes them.
model=$'AP\r\nX\e[31mRED\e[0m\e[201~\x9b2J'
firmware=$'1.0\r\n\e]0;title\a'
copy=$'start\r\nline 2\e[201~\x9b6n\x7f\x85end'
start_devsim "$dev" "$work/devsim.out" \
    --device "model=$model,ipv4=198.51.100.2,mac=00-00-5E-00-53-01,firmware=$firmware,copy=$copy" ||
    {
        case_name=setup
        fail "the simulator did not start: $(cat "$work/devsim.out")"
        exit 1
    }

# utf8_without_controls FILE: FILE is UTF-8 and holds no C0 control character but line feeds,
# no DEL and no C1 control character.
utf8_without_controls() {
    iconv -f UTF-8 -t UTF-8 "$1" >/dev/null 2>&1 || {
        fail "$(basename "$1") is not UTF-8 (a raw 8-bit byte): $(od -An -c "$1" | head -5)"
        return
    }
    if LC_ALL=C grep -qaP '[\x00-\x09\x0b-\x1f\x7f]|\xc2[\x80-\x9f]' "$1"; then
        fail "$(basename "$1") holds control characters: $(od -An -c "$1" | head -8)"
    fi
}

for case_name in table json; do
    failures_before=$failures
    options=()
    [ "$case_name" = json ] && options=(--json)
    if ip netns exec "$ws" "$discover" "${options[@]}" >"$work/$case_name" 2>"$work/$case_name.err"; then
        utf8_without_controls "$work/$case_name"
        for part in RED 1.0 title start 'line 2' end; do
            grep -qF "$part" "$work/$case_name" || fail "'$part' is not shown: $(cat "$work/$case_name")"
        done
    else
        fail "exit status $?: $(cat "$work/$case_name.err")"
    fi
    finish
done

if [ "$failures" = 0 ]; then
    echo "control_text: PASSED"
    exit 0
fi
exit 1

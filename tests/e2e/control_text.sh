#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A device whose texts hold control characters (CR LF, escape sequences, the end of a bracketed
# paste ESC [ 2 0 1 ~, the C1 byte 0x9b, DEL): none of them reaches a terminal, the clipboard or
# the one-line status bar raw. nimbrel-devsim answers on a "device" namespace joined by a veth
# cable to the "workstation" namespace, where
#   table, json   nimbrel-discover prints the device as a table and as JSON;
#   window        the window (e2e_window, offscreen) lists it, shows its details in the status
#                 bar as one line, with something visible where each control character was,
#                 and Ctrl+C puts its copy text on the clipboard without control characters,
#                 ending in CR LF.
#
# Usage: control_text.sh NIMBREL-DISCOVER NIMBREL-DEVSIM [E2E-WINDOW]
# Exit status: 0 passed, 1 failed, 77 skipped (no namespaces here).
set -u

discover=${1:?path to nimbrel-discover}
devsim=${2:?path to nimbrel-devsim}
window=${3:-}

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

# utf8_without_controls FILE [lines]: FILE is UTF-8 and holds no C0 control character (but line
# feeds with "lines"), no DEL and no C1 control character.
utf8_without_controls() {
    iconv -f UTF-8 -t UTF-8 "$1" >/dev/null 2>&1 || {
        fail "$(basename "$1") is not UTF-8 (a raw 8-bit byte): $(od -An -c "$1" | head -5)"
        return
    }
    # grep reads lines: a line feed is looked for on its own.
    if LC_ALL=C grep -qaP '[\x00-\x09\x0b-\x1f\x7f]|\xc2[\x80-\x9f]' "$1" ||
        { [ "${2:-}" != lines ] && [ "$(tr -cd '\n' <"$1" | wc -c)" != 0 ]; }; then
        fail "$(basename "$1") holds control characters: $(od -An -c "$1" | head -8)"
    fi
}

# --- the command line ---------------------------------------------------------------------
for case_name in table json; do
    failures_before=$failures
    options=()
    [ "$case_name" = json ] && options=(--json)
    if ip netns exec "$ws" "$discover" "${options[@]}" >"$work/$case_name" 2>"$work/$case_name.err"; then
        utf8_without_controls "$work/$case_name" lines
        for part in RED 1.0 title start 'line 2' end; do
            grep -qF "$part" "$work/$case_name" || fail "'$part' is not shown: $(cat "$work/$case_name")"
        done
    else
        fail "exit status $?: $(cat "$work/$case_name.err")"
    fi
    finish
done

# --- the window -------------------------------------------------------------------------------
if [ -n "$window" ]; then
    case_name=window
    failures_before=$failures
    if ip netns exec "$ws" env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" \
        XDG_RUNTIME_DIR="$work" "$window" details "$work/status" "$work/clipboard" \
        >"$work/window.out" 2>"$work/window.err"; then
        # The status bar: one line, nothing raw, and a character shown for each run of
        # control characters (after "1.0" and after "title").
        utf8_without_controls "$work/status"
        LC_ALL=C grep -qaP '^MAC:00-00-5E-00-53-01  VER:1\.0.+\]0;title.+$' "$work/status" ||
            fail "status bar: $(od -An -c "$work/status" | head -8)"
        # The clipboard: the copy text without its control characters, then CR LF.
        head -c -2 "$work/clipboard" >"$work/clipboard-text"
        utf8_without_controls "$work/clipboard-text"
        [ "$(tail -c 2 "$work/clipboard" | od -An -tx1 | tr -d ' ')" = 0d0a ] ||
            fail "the clipboard does not end in CR LF: $(od -An -c "$work/clipboard" | head -8)"
        LC_ALL=C grep -qaP '^start.*line 2.*end$' "$work/clipboard-text" ||
            fail "clipboard: $(od -An -c "$work/clipboard" | head -8)"
    else
        fail "exit status $?: $(cat "$work/window.err")"
    fi
    finish
fi

if [ "$failures" = 0 ]; then
    echo "control_text: PASSED"
    exit 0
fi
exit 1

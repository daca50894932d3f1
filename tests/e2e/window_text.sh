#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real nimbrel-utility and a device whose texts hold control characters (CR LF, escape
# sequences, the end of a bracketed paste ESC [ 2 0 1 ~, the C1 byte 0x9b, DEL): its status bar
# shows the device's details as one line with something visible for each control character, as
# a screen reader reads it (AT-SPI), and Ctrl+C, pressed on the X keyboard, puts the copy text
# on the X clipboard without control characters, ending in CR LF.
#   window_text.sh NIMBREL-UTILITY NIMBREL-DEVSIM E2E-WINDOW
# The program runs under Xvfb with a D-Bus session bus of its own, on a "workstation" network
# namespace joined by a veth cable to a "device" namespace where nimbrel-devsim answers.
# E2E-WINDOW reads the clipboard (`e2e_window clipboard FILE`).
# Exit status: 0 passed, 1 failed, 77 skipped (no namespaces, Xvfb or AT-SPI bus here).
set -u

utility=${1:?path to nimbrel-utility}
devsim=${2:?path to nimbrel-devsim}
window=${3:?path to e2e_window}
here=$(cd "$(dirname "$0")" && pwd)
test_name=window_text

fail() {
    echo "$test_name: FAIL: $*"
    exit 1
}

# --- Outside: the two namespaces and the device, made and removed here. ----------------------
if [ "${WINDOW_TEXT_INNER:-}" != 1 ]; then
    source "$here/namespaces.sh"
    source "$here/desktop_session.sh"
    require_session_tools iconv
    two_namespaces nbt
    # Each text at most 64 bytes and without a comma, as the simulator takes them.
    firmware=$'1.0\r\n\e]0;title\a'
    copy=$'start\r\nline 2\e[201~\x9b6n\x7f\x85end'
    start_devsim "$dev" "$work/devsim.out" --device \
        "model=QZL-AP,ipv4=198.51.100.2,mac=00-00-5E-00-53-01,firmware=$firmware,copy=$copy" ||
        fail "the simulator did not start: $(cat "$work/devsim.out")"
    WINDOW_TEXT_INNER=1 WINDOW_TEXT_WORK=$work ip netns exec "$ws" bash "$0" "$@"
    exit $?
fi

# --- Inside the workstation namespace: the X server, the buses, the program. -----------------
work=$WINDOW_TEXT_WORK
source "$here/desktop_session.sh"
start_session
start_program "$utility"

# utf8_without_controls FILE: FILE is UTF-8 and holds no C0 or C1 control character, no DEL.
utf8_without_controls() {
    iconv -f UTF-8 -t UTF-8 "$1" >/dev/null 2>&1 ||
        fail "$(basename "$1") is not UTF-8 (a raw 8-bit byte): $(od -An -c "$1" | head -5)"
    # grep reads lines: a line feed is looked for on its own.
    if LC_ALL=C grep -qaP '[\x00-\x09\x0b-\x1f\x7f]|\xc2[\x80-\x9f]' "$1" ||
        [ "$(tr -cd '\n' <"$1" | wc -c)" != 0 ]; then
        fail "$(basename "$1") holds control characters: $(od -An -c "$1" | head -8)"
    fi
}

# The window shows at once; the device is listed and selected when the first search ends.
run_helper "$here/window_text.py" status "$program_pid" 30 "$work/status"
utf8_without_controls "$work/status"
LC_ALL=C grep -qaP '^MAC:00-00-5E-00-53-01  VER:1\.0.+\]0;title.+$' "$work/status" ||
    fail "status bar: $(od -An -c "$work/status" | head -8)"
echo "window_text: ok   status bar"

run_helper "$here/window_text.py" copy "$program_pid" 10
"$window" clipboard "$work/clipboard" >"$work/clipboard.out" 2>&1 ||
    fail "cannot read the clipboard: $(cat "$work/clipboard.out")"
[ "$(tail -c 2 "$work/clipboard" | od -An -tx1 | tr -d ' ')" = 0d0a ] ||
    fail "the clipboard does not end in CR LF: $(od -An -c "$work/clipboard" | head -8)"
head -c -2 "$work/clipboard" >"$work/clipboard-text"
utf8_without_controls "$work/clipboard-text"
LC_ALL=C grep -qaP '^start.*line 2.*end$' "$work/clipboard-text" ||
    fail "clipboard: $(od -An -c "$work/clipboard" | head -8)"
echo "window_text: ok   clipboard"
echo "window_text: PASSED"
exit 0

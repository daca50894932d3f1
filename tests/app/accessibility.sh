#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real nimbrel-utility as a screen reader sees it, through the AT-SPI tree: the program and
# its window are there, so are the list ("Devices found"), the search animation ("Searching for
# devices") and the status bar ("Status"); a simulated device is listed by model and address,
# its details are readable as the status text; and when a later search changes that text, the
# change is announced (an accessible-name change event of the status text).
#   accessibility.sh NIMBREL-UTILITY NIMBREL-DEVSIM
# The program runs under Xvfb with a D-Bus session bus of its own, from which the AT-SPI bus is
# started, on a "workstation" network namespace joined by a veth cable to a "device" namespace
# where nimbrel-devsim answers, so that the search's broadcast stays between the two.
# Exit status: 0 passed, 1 failed, 77 skipped (no namespaces, Xvfb or AT-SPI bus here).
set -u

utility=${1:?path to nimbrel-utility}
devsim=${2:?path to nimbrel-devsim}
helper=$(cd "$(dirname "$0")" && pwd)/accessibility_tree.py
python=/usr/bin/python3  # Debian's, for its pyatspi and gi

first_device='model=AP-1,ipv4=198.51.100.2,mac=00-00-5E-00-53-01,firmware=1.0'
first_status='MAC:00-00-5E-00-53-01  VER:1.0'
second_device='model=AP-2,ipv4=198.51.100.3,mac=00-00-5E-00-53-02,firmware=2.0'
second_status='MAC:00-00-5E-00-53-02  VER:2.0'

skip() {
    echo "accessibility: SKIPPED: $*"
    exit 77
}
fail() {
    echo "accessibility: FAIL: $*"
    exit 1
}

# --- Outside: the two namespaces, made and removed here. ---------------------------------------
if [ "${ACCESSIBILITY_INNER:-}" != 1 ]; then
    test_name=accessibility
    source "$(dirname "$0")/../e2e/namespaces.sh"
    for command in Xvfb dbus-daemon dbus-send "$python"; do
        command -v "$command" >/dev/null || skip "$command is missing"
    done
    [ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi-bus-launcher is missing (at-spi2-core)"
    "$python" -c 'import gi; gi.require_version("Atspi", "2.0"); import pyatspi' 2>/dev/null ||
        skip "Python's pyatspi is missing (python3-pyatspi, gir1.2-atspi-2.0)"

    # The host name resolves to the workstation's address, so that the search sends from it.
    two_namespaces nba

    ACCESSIBILITY_INNER=1 ACCESSIBILITY_WORK=$work ACCESSIBILITY_DEVICE_NS=$dev \
        ip netns exec "$ws" bash "$0" "$@"
    exit $?
fi

# --- Inside the workstation namespace: the X server, the buses, the program, the device. -------
work=$ACCESSIBILITY_WORK
dev=$ACCESSIBILITY_DEVICE_NS
source "$(dirname "$0")/../e2e/desktop_session.sh"
start_session

start_device() {
    : >"$work/devsim.out"
    ip netns exec "$dev" "$devsim" --device "$1" >"$work/devsim.out" 2>&1 &
    devsim_pid=$!
    session_pids+=("$devsim_pid")
    for _ in $(seq 100); do
        grep -q 'listening on' "$work/devsim.out" && return 0
        kill -0 "$devsim_pid" 2>/dev/null || break
        sleep 0.05
    done
    fail "the simulator did not start: $(cat "$work/devsim.out")"
}

start_device "$first_device"

"$utility" >"$work/utility.out" 2>&1 &
utility_pid=$!
session_pids+=("$utility_pid")

run_helper() {
    "$python" "$helper" "$@"
    local status=$?
    if [ "$status" != 0 ] && ! kill -0 "$utility_pid" 2>/dev/null; then
        echo "accessibility: the program has ended; its output: $(cat "$work/utility.out")"
    fi
    [ "$status" = 77 ] && skip "see above"
    [ "$status" = 0 ] || fail "see above"
}

# Two searches of 2.5 s each come before the window is shown.
run_helper window "$utility_pid" 30
run_helper tree "$utility_pid" AP-1 198.51.100.2 "$first_status" 10

# Another device set answers the next search: its one device is selected, the text changes.
stop "$devsim_pid"
start_device "$second_device"
run_helper announce "$utility_pid" "$second_status" 15

echo "accessibility: ok"
exit 0

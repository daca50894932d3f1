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
test_name=accessibility

first_device='model=AP-1,ipv4=198.51.100.2,mac=00-00-5E-00-53-01,firmware=1.0'
first_status='MAC:00-00-5E-00-53-01  VER:1.0'
second_device='model=AP-2,ipv4=198.51.100.3,mac=00-00-5E-00-53-02,firmware=2.0'
# The first device, silent now, stays selected: the text says since when it has not answered.
second_status="$first_status  not answering since "

skip() {
    echo "$test_name: SKIPPED: $*"
    exit 77
}
fail() {
    echo "$test_name: FAIL: $*"
    exit 1
}

# --- Outside: the two namespaces, made and removed here. ---------------------------------------
if [ "${ACCESSIBILITY_INNER:-}" != 1 ]; then
    source "$(dirname "$0")/../e2e/namespaces.sh"
    source "$(dirname "$0")/../e2e/desktop_session.sh"
    require_session_tools
    [ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi-bus-launcher is missing (at-spi2-core)"

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

start_program "$utility"

# The window shows at once; the device is listed when the first search ends (2.5 s).
run_helper "$helper" window "$program_pid" 30
run_helper "$helper" tree "$program_pid" AP-1 198.51.100.2 "$first_status" 10

# Another device answers the next search, the first one no more.
stop "$devsim_pid"
start_device "$second_device"
run_helper "$helper" announce "$program_pid" "$second_status" 15

echo "accessibility: ok"
exit 0

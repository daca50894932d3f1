#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real nimbrel-utility with 14 simulated devices answering: the window is on screen before
# the first search has ended, and each of the 14 devices is then listed, as a screen reader
# reads the list (AT-SPI).
#   window_devices.sh NIMBREL-UTILITY NIMBREL-DEVSIM
# The program runs under Xvfb with a D-Bus session bus of its own, on a "workstation" network
# namespace joined by a veth cable to a "device" namespace where nimbrel-devsim answers for all
# 14 devices.
# Exit status: 0 passed, 1 failed, 77 skipped (no namespaces, Xvfb or AT-SPI bus here).
set -u

utility=${1:?path to nimbrel-utility}
devsim=${2:?path to nimbrel-devsim}
here=$(cd "$(dirname "$0")" && pwd)
test_name=window_devices
device_count=14

fail() {
    echo "$test_name: FAIL: $*"
    exit 1
}

# caption N: the list's caption of the Nth device (counted from 10).
caption() {
    echo "QZL-AP-$1 198.51.100.$1"
}

# --- Outside: the two namespaces and the devices, made and removed here. ---------------------
if [ "${WINDOW_DEVICES_INNER:-}" != 1 ]; then
    source "$here/namespaces.sh"
    source "$here/desktop_session.sh"
    require_session_tools
    two_namespaces nbd
    devices=()
    for ((n = 10; n < 10 + device_count; n++)); do
        devices+=(--device "model=QZL-AP-$n,ipv4=198.51.100.$n,mac=00-00-5E-00-53-$n,firmware=1.$n")
    done
    start_devsim "$dev" "$work/devsim.out" "${devices[@]}" ||
        fail "the simulator did not start: $(cat "$work/devsim.out")"
    WINDOW_DEVICES_INNER=1 WINDOW_DEVICES_WORK=$work ip netns exec "$ws" bash "$0" "$@"
    exit $?
fi

# --- Inside the workstation namespace: the X server, the buses, the program. -----------------
work=$WINDOW_DEVICES_WORK
source "$here/desktop_session.sh"
start_session
start_program "$utility"

captions=()
for ((n = 10; n < 10 + device_count; n++)); do
    captions+=("$(caption "$n")")
done
run_helper "$here/window_devices.py" "$program_pid" 20 "${captions[@]}"
echo "$test_name: PASSED"
exit 0

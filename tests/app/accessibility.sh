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

    ws=nba-ws-$$
    dev=nba-dev-$$
    add_namespaces "$ws" "$dev"
    # The host name resolves to the workstation's address, so that the search sends from it.
    setup() {
        ip -n "$ws" link add nba0 type veth peer name nba1 netns "$dev" &&
            ip -n "$ws" addr add 198.51.100.1/24 dev nba0 &&
            ip -n "$dev" addr add 198.51.100.2/24 dev nba1 &&
            ip -n "$ws" link set lo up &&
            ip -n "$dev" link set lo up &&
            ip -n "$ws" link set nba0 up &&
            ip -n "$dev" link set nba1 up &&
            ip -n "$ws" route add default dev nba0 &&
            resolve_hostname "$ws" 198.51.100.1
    }
    setup 2>"$work/setup.err" || skip "cannot build the two-namespace network: $(cat "$work/setup.err")"

    ACCESSIBILITY_INNER=1 ACCESSIBILITY_WORK=$work ACCESSIBILITY_DEVICE_NS=$dev \
        ip netns exec "$ws" bash "$0" "$@"
    exit $?
fi

# --- Inside the workstation namespace: the X server, the buses, the program, the device. -------
work=$ACCESSIBILITY_WORK
dev=$ACCESSIBILITY_DEVICE_NS
pids=()  # started here, ended in reverse order

gone() {
    # Ended, or ended and not yet reaped by a parent that is not this shell.
    [ ! -e "/proc/$1" ] || [ "$(sed 's/^.*) \(.\).*$/\1/' "/proc/$1/stat" 2>/dev/null)" = Z ]
}
stop() {
    local pid=$1
    kill "$pid" 2>/dev/null || return 0
    for _ in $(seq 50); do
        gone "$pid" && break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 0
}
# The process id of the owner of a D-Bus name, on the bus named by the dbus-send option.
owner_pid() {
    dbus-send "$1" --print-reply --reply-timeout=2000 --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.GetConnectionUnixProcessID "string:$2" 2>/dev/null |
        sed -n 's/^ *uint32 //p'
}
cleanup_inner() {
    local i pid launcher registry a11y_bus=() address
    # The session bus started the AT-SPI bus launcher, which started the AT-SPI bus, from which
    # the registry was started: their ids, while the buses can still tell them.
    if [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
        launcher=$(owner_pid --session org.a11y.Bus)
        address=$(dbus-send --session --print-reply=literal --reply-timeout=2000 \
            --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress 2>/dev/null | tr -d ' ')
        [ -n "$address" ] && registry=$(owner_pid "--bus=$address" org.a11y.atspi.Registry)
        [ -n "$launcher" ] && read -ra a11y_bus <<<"$(cat /proc/"$launcher"/task/*/children 2>/dev/null)"
    fi
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        stop "${pids[i]}"
    done
    # They end by themselves when their bus goes; any that has not is ended here.
    for pid in ${registry:-} "${a11y_bus[@]}" ${launcher:-}; do
        for _ in $(seq 20); do
            gone "$pid" && break
            sleep 0.1
        done
        stop "$pid"
    done
    return 0
}
trap cleanup_inner EXIT
trap 'exit 130' INT TERM

mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/home/.config
export GSETTINGS_BACKEND=memory
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS SESSION_MANAGER WAYLAND_DISPLAY \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON
export QT_QPA_PLATFORM=xcb

start_device() {
    : >"$work/devsim.out"
    ip netns exec "$dev" "$devsim" --device "$1" >"$work/devsim.out" 2>&1 &
    devsim_pid=$!
    pids+=("$devsim_pid")
    for _ in $(seq 100); do
        grep -q 'listening on' "$work/devsim.out" && return 0
        kill -0 "$devsim_pid" 2>/dev/null || break
        sleep 0.05
    done
    fail "the simulator did not start: $(cat "$work/devsim.out")"
}

# -noreset: Xvfb would otherwise reset whenever its last client leaves.
Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/display" 2>"$work/xvfb.err" &
pids+=($!)
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "${pids[-1]}" 2>/dev/null || break
    sleep 0.05
done
[ -s "$work/display" ] || skip "Xvfb did not start: $(tail -3 "$work/xvfb.err")"
DISPLAY=:$(head -1 "$work/display")
export DISPLAY

# A session bus of our own, on a path socket; the AT-SPI bus is started from it on demand.
dbus-daemon --session --nofork --nopidfile --address="unix:path=$work/runtime/bus" \
    >"$work/dbus.out" 2>&1 &
pids+=($!)
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/runtime/bus
for _ in $(seq 100); do
    [ -S "$work/runtime/bus" ] && break
    sleep 0.05
done
[ -S "$work/runtime/bus" ] || skip "the D-Bus session bus did not start: $(cat "$work/dbus.out")"
# What a screen reader does on start: tells the toolkits that assistive technology is in use.
# Qt 6 then connects to the AT-SPI bus (without QT_LINUX_ACCESSIBILITY_ALWAYS_ON).
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
    variant:boolean:true >"$work/a11y.out" 2>&1 ||
    skip "the AT-SPI bus cannot be had: $(cat "$work/a11y.out")"
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    >"$work/a11y.out" 2>&1 || skip "the AT-SPI bus cannot be had: $(cat "$work/a11y.out")"

start_device "$first_device"

"$utility" >"$work/utility.out" 2>&1 &
utility_pid=$!
pids+=("$utility_pid")

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

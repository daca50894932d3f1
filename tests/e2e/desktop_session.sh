# shellcheck shell=bash disable=SC2154 # work and test_name: set by the script that sources this
# SPDX-License-Identifier: MIT
# Sourced by tests that run the real window: a desktop session of the test's own, in the
# network namespace that runs the script. An X server (Xvfb), a D-Bus session bus and, started
# from it, the AT-SPI bus that screen readers use; everything started here is ended when the
# script ends. Set `work` (a folder of the test's) and `test_name` first; fail must be defined,
# and skip is defined here unless the script has its own.
#   require_session_tools COMMAND...: skips unless the session and the AT-SPI helpers can run.
#   start_session: starts it all and exports DISPLAY, DBUS_SESSION_BUS_ADDRESS, HOME, XDG_*.
#   start_program PROGRAM: runs the program in the session (program_pid).
#   run_helper SCRIPT ARGUMENT...: runs a Python helper against it, its skip and failure passed on.
#   session_pids: processes started by the script (ended in reverse order); add yours.

session_pids=()
python=/usr/bin/python3 # Debian's, for its pyatspi and gi

# skip REASON: ends the script as skipped.
declare -F skip >/dev/null || skip() {
    echo "$test_name: SKIPPED: $*"
    exit 77
}

require_session_tools() {
    local command
    for command in Xvfb dbus-daemon dbus-send "$python" "$@"; do
        command -v "$command" >/dev/null || skip "$command is missing"
    done
    "$python" -c 'import gi; gi.require_version("Atspi", "2.0"); import pyatspi' 2>/dev/null ||
        skip "Python's pyatspi is missing (python3-pyatspi, gir1.2-atspi-2.0)"
}

start_program() {
    "$1" >"$work/program.out" 2>&1 &
    program_pid=$!
    session_pids+=("$program_pid")
}

run_helper() {
    "$python" "$@"
    local status=$?
    if [ "$status" != 0 ] && ! kill -0 "$program_pid" 2>/dev/null; then
        echo "$test_name: the program has ended; its output: $(cat "$work/program.out")"
    fi
    [ "$status" = 77 ] && skip "see above"
    [ "$status" = 0 ] || fail "see above"
}

# gone PID: ended, or ended and not yet reaped by a parent that is not this shell.
gone() {
    [ ! -e "/proc/$1" ] || [ "$(sed 's/^.*) \(.\).*$/\1/' "/proc/$1/stat" 2>/dev/null)" = Z ]
}

# stop PID: asks the process to end, and makes it after 5 s.
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

# owner_pid BUS-OPTION NAME: the process id of the owner of a D-Bus name.
owner_pid() {
    dbus-send "$1" --print-reply --reply-timeout=2000 --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.GetConnectionUnixProcessID "string:$2" 2>/dev/null |
        sed -n 's/^ *uint32 //p'
}

end_session() {
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
    for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
        stop "${session_pids[i]}"
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

start_session() {
    trap end_session EXIT
    trap 'exit 130' INT TERM
    mkdir -p "$work/home" "$work/runtime"
    chmod 700 "$work/runtime"
    export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/home/.config
    export GSETTINGS_BACKEND=memory
    unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS SESSION_MANAGER WAYLAND_DISPLAY \
        QT_LINUX_ACCESSIBILITY_ALWAYS_ON
    export QT_QPA_PLATFORM=xcb

    # -noreset: Xvfb would otherwise reset whenever its last client leaves.
    Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/display" \
        2>"$work/xvfb.err" &
    session_pids+=($!)
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        kill -0 "${session_pids[-1]}" 2>/dev/null || break
        sleep 0.05
    done
    [ -s "$work/display" ] || skip "Xvfb did not start: $(tail -3 "$work/xvfb.err")"
    DISPLAY=:$(head -1 "$work/display")
    export DISPLAY

    dbus-daemon --session --nofork --nopidfile --address="unix:path=$work/runtime/bus" \
        >"$work/dbus.out" 2>&1 &
    session_pids+=($!)
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/runtime/bus
    for _ in $(seq 100); do
        [ -S "$work/runtime/bus" ] && break
        sleep 0.05
    done
    [ -S "$work/runtime/bus" ] || skip "the D-Bus session bus did not start: $(cat "$work/dbus.out")"
    # What a screen reader does on start: tells the toolkits that assistive technology is in
    # use; Qt then connects to the AT-SPI bus.
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
        variant:boolean:true >"$work/a11y.out" 2>&1 ||
        skip "the AT-SPI bus cannot be had: $(cat "$work/a11y.out")"
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        >"$work/a11y.out" 2>&1 || skip "the AT-SPI bus cannot be had: $(cat "$work/a11y.out")"
}

#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the real nimbrel-utility for a figure. Only inside a fresh network namespace (bench/run.sh
# starts it through in_namespace): the limited broadcast is routed over loopback there, so the
# program's request reaches the simulated devices in the same namespace and nothing else.
#   in_namespace_utility.sh rss BIN_DIR           peak RSS with 11 devices answering (Xvfb)
#   in_namespace_utility.sh first-mapped BIN_DIR [none|devices|stream]
#                                                 ms from launch until the window is mapped
#                                                 (Xvfb): with no device answering, with 14
#                                                 answering at once, or under a device that
#                                                 streams 5,000 datagrams a second
#   in_namespace_utility.sh first-listed BIN_DIR  ms from launch until the window lists a device,
#                                                 14 answering at once (Xvfb, read through the
#                                                 AT-SPI tree as a screen reader reads it)
# Each prints "name=value" lines on stdout.
set -eu
mode=$1
bin=$2
here=$(cd "$(dirname "$0")" && pwd)
caption=" Nimbrel AP/Bridge/CloudAP Utility Config"

if [ "$(ip route show default)" != "" ]; then
    echo "in_namespace_utility.sh: this namespace has a default route; refusing to broadcast" >&2
    exit 2
fi
ip route add default dev lo
ip addr add 198.51.100.1/24 dev lo

work=$(mktemp -d)
helpers=()
finish() {
    local pid
    for pid in "${helpers[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap finish EXIT

# simulated_devices COUNT LOG: a nimbrel-devsim answering for COUNT devices, once it listens.
simulated_devices() {
    local devices=() n
    for ((n = 10; n < 10 + $1; n++)); do
        devices+=(--device
            "model=QZL-TMR-M,ipv4=192.0.2.$n,mac=00-1A-2B-3C-4D-$n,firmware=1.6.$n,copy=device-$n")
    done
    "$bin/nimbrel-devsim" --log "$2" "${devices[@]}" >"$work/devsim.out" 2>&1 &
    helpers+=($!)
    wait_for_line "listening on" "$work/devsim.out"
}

# streaming_device: a device that answers the first request with 5,000 datagrams a second.
streaming_device() {
    "$bin/bench_stream_device" >"$work/stream.out" 2>&1 &
    helpers+=($!)
    wait_for_line listening "$work/stream.out"
}

# wait_for_line TEXT FILE: until FILE holds TEXT (5 s at most).
wait_for_line() {
    for _ in $(seq 100); do
        grep -q "$1" "$2" 2>/dev/null && return 0
        sleep 0.05
    done
    echo "in_namespace_utility.sh: no '$1' from a helper: $(cat "$2")" >&2
    exit 1
}

# first_mapped: the launch-to-mapped time under an X server of its own, taken by a watcher of
# the X server's map events that starts the program itself (no polling that would take the
# processor from the program). -noreset: otherwise the server resets whenever its last client
# leaves, and each reset compiles a keymap while the program starts.
first_mapped() {
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
        /usr/bin/python3 "$here/first_mapped.py" "$caption" 30 "$bin/nimbrel-utility"
}

case $mode in
rss)
    simulated_devices 11 "$work/requests"
    # Both start-up searches (5 s with the replies) and some time on screen, then it is ended;
    # under an X server, so that the memory of the real window system's connection counts.
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
        "$bin/peak_rss" timeout -s TERM 8 "$bin/nimbrel-utility" >/dev/null 2>"$work/rss.err" ||
        true
    echo "requests_answered=$(wc -l <"$work/requests")"
    grep '^peak_rss_kib=' "$work/rss.err"
    ;;
first-mapped)
    case ${3:-none} in
    none) ;;
    devices) simulated_devices 14 "$work/requests" ;;
    stream) streaming_device ;;
    *)
        echo "in_namespace_utility.sh: first-mapped takes none, devices or stream" >&2
        exit 2
        ;;
    esac
    first_mapped
    # What had answered by the time the program was ended, right after its window was mapped:
    # the first request follows the map request, so a stream has mostly not begun by then.
    case ${3:-none} in
    devices) echo "requests_answered=$(wc -l <"$work/requests")" ;;
    stream)
        kill "${helpers[-1]}" 2>/dev/null
        wait "${helpers[-1]}" || true
        echo "stream_datagrams_sent=$(sed -n 's/^sent=//p' "$work/stream.out")"
        ;;
    esac
    ;;
first-listed)
    simulated_devices 14 "$work/requests"
    # shellcheck disable=SC2317 # skip and fail are called by desktop_session.sh
    skip() {
        echo "in_namespace_utility.sh: cannot measure: $*" >&2
        exit 77
    }
    # shellcheck disable=SC2317
    fail() {
        echo "in_namespace_utility.sh: $*" >&2
        exit 1
    }
    # A session of its own: X server, D-Bus session bus, AT-SPI bus; ended on exit. Its
    # clean-up is written for scripts that go on after a failed command.
    set +e
    # shellcheck source=/dev/null
    source "$here/../../tests/e2e/desktop_session.sh"
    start_session
    trap 'end_session; finish' EXIT
    /usr/bin/python3 "$here/first_listed.py" 30 "$bin/nimbrel-utility"
    exit $?
    ;;
*)
    echo "usage: $0 rss|first-mapped|first-listed BIN_DIR [none|devices|stream]" >&2
    exit 2
    ;;
esac

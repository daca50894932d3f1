#!/bin/sh
# Runs the real nimbrel-utility for a figure. Only inside a fresh network namespace (bench/run.sh
# starts it through in_namespace): the limited broadcast is routed over loopback there, so the
# program's request reaches a nimbrel-devsim in the same namespace and nothing else.
#   in_namespace_utility.sh rss BIN_DIR           peak RSS with 11 devices answering (Xvfb)
#   in_namespace_utility.sh first-mapped BIN_DIR  ms from launch until the window is viewable
#                                                 (Xvfb, no device answering)
# Each prints "name=value" lines on stdout.
set -eu
mode=$1
bin=$2
caption=" Nimbrel AP/Bridge/CloudAP Utility Config"

if [ "$(ip route show default)" != "" ]; then
    echo "in_namespace_utility.sh: this namespace has a default route; refusing to broadcast" >&2
    exit 2
fi
ip route add default dev lo
ip addr add 10.99.0.1/24 dev lo

case $mode in
rss)
    devices=""
    for n in 10 11 12 13 14 15 16 17 18 19 20; do
        devices="$devices --device model=QZL-TMR-M,ipv4=192.0.2.$n,mac=00-1A-2B-3C-4D-$n"
        devices="$devices,firmware=1.6.$n,copy=device-$n"
    done
    log=$(mktemp)
    # shellcheck disable=SC2086
    "$bin/nimbrel-devsim" --log "$log" $devices >/dev/null 2>&1 &
    simulator=$!
    sleep 0.3
    # Both start-up searches (5 s with the replies) and some time on screen, then it is ended;
    # under an X server, so that the memory of the real window system's connection counts.
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
        "$bin/peak_rss" timeout -s TERM 8 "$bin/nimbrel-utility" >/dev/null 2>"$log.err" || true
    kill "$simulator"
    echo "requests_answered=$(wc -l <"$log")"
    grep '^peak_rss_kib=' "$log.err"
    rm -f "$log" "$log.err"
    ;;
first-mapped)
    # -noreset: otherwise the server resets whenever its last client leaves, which every poll
    # before the program has connected does; each reset compiles a keymap while the program
    # starts, and once a reset met the program's connection, the program ended and the window
    # never came. The poll gives up after 30 s. The figure is late by at most one poll (the
    # sleep and one xwininfo, a few ms).
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" sh -c '
        start=$(date +%s%N)
        "$1/nimbrel-utility" >/dev/null 2>&1 &
        utility=$!
        while ! xwininfo -name "$2" 2>/dev/null | grep -q IsViewable; do
            if [ $(( ($(date +%s%N) - start) / 1000000 )) -gt 30000 ]; then
                kill $utility 2>/dev/null
                echo "in_namespace_utility.sh: the window was not mapped within 30 s" >&2
                exit 1
            fi
            sleep 0.005
        done
        end=$(date +%s%N)
        kill $utility
        echo "first_mapped_ms=$(( (end - start) / 1000000 ))"' sh "$bin" "$caption"
    ;;
*)
    echo "usage: $0 rss|first-mapped BIN_DIR" >&2
    exit 2
    ;;
esac

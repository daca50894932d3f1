#!/bin/sh
# Builds the benchmarks, runs them inside a fresh network namespace (nothing they send can
# leave it) and prints every figure beside its target.
#   usage: bench/run.sh [BUILD_DIR]      (default: build; a build directory without a cache is
#                                         configured with the default preset, benchmarks on and
#                                         tests off)
# The Debian packages that it needs are installed first, when missing (scripts/deps.sh bench).
# Each part of the program has a section below: a function section_<name> that builds what it
# needs, runs it and reports through `figure`; SECTIONS lists them in order (the environment's
# SECTIONS, when set, chooses some).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
case $build in /*) ;; *) build=$(pwd)/$build ;; esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# The tools below (jq, Xvfb, xwininfo...) and the libraries, installed when missing.
(cd "$root" && bash scripts/deps.sh bench)

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset default -S "$root" -B "$build" -DNIMBREL_BUILD_BENCH=ON \
        -DBUILD_TESTING=OFF
elif ! grep -q '^NIMBREL_BUILD_BENCH:BOOL=ON' "$build/CMakeCache.txt"; then
    cmake -S "$root" -B "$build" -DNIMBREL_BUILD_BENCH=ON
fi

# build TARGET...: builds the given targets of the benchmark build.
build() {
    cmake --build "$build" --target "$@"
}

# in_namespace COMMAND...: runs a command in a new, empty network namespace with loopback up.
in_namespace() {
    if [ "$(id -u)" -eq 0 ]; then
        unshare -n sh -c 'ip link set lo up && exec "$@"' sh "$@"
    else
        unshare -rn sh -c 'ip link set lo up && exec "$@"' sh "$@"
    fi
}

# figure NAME VALUE UNIT TARGET: one line of the report; the value must not exceed the target.
figure() {
    if [ -z "$2" ]; then
        printf '%-44s %12s %-4s  target <= %s %s  MISSING\n' "$1" "-" "$3" "$4" "$3"
        failures=$((failures + 1))
        return
    fi
    set -- "$1" "$(rounded "$2")" "$3" "$4"
    if awk -v value="$2" -v target="$4" 'BEGIN { exit !(value <= target) }'; then
        verdict=ok
    else
        verdict=OVER
        failures=$((failures + 1))
    fi
    printf '%-44s %12s %-4s  target <= %s %s  %s\n' "$1" "$2" "$3" "$4" "$3" "$verdict"
}

# count NAME VALUE RELATION TARGET: a count (no unit, no decimals) whose target is a least
# (>=), most (<=) or exact (=) number.
count() {
    if [ -z "$2" ]; then
        printf '%-44s %12s       target %s %s  MISSING\n' "$1" "-" "$3" "$4"
        failures=$((failures + 1))
        return
    fi
    if awk -v value="$2" -v relation="$3" -v target="$4" 'BEGIN {
        exit !((relation == ">=" && value >= target) || (relation == "<=" && value <= target) ||
               (relation == "=" && value == target)) }'; then
        verdict=ok
    else
        verdict=MISSED
        failures=$((failures + 1))
    fi
    printf '%-44s %12s       target %s %s  %s\n' "$1" "$2" "$3" "$4" "$verdict"
}

# counted NAME VALUE NOTE: a count without a target, shown beside the ones that have one.
counted() {
    printf '%-44s %12s       (for comparison: %s)\n' "$1" "${2:--}" "$3"
}

# rounded VALUE: the value with two decimals, as the report shows it.
rounded() {
    awk -v value="$1" 'BEGIN { printf "%.2f", value }'
}

# compared NAME VALUE UNIT NOTE: a figure without a target, shown beside the ones that have one.
compared() {
    if [ -n "$2" ]; then set -- "$1" "$(rounded "$2")" "$3" "$4"; else set -- "$1" - "$3" "$4"; fi
    printf '%-44s %12s %-4s  (for comparison: %s)\n' "$1" "$2" "$3" "$4"
}

# skipped NAME REASON: a figure that could not be measured.
skipped() {
    printf '%-44s %12s       %s\n' "$1" "-" "skipped: $2"
}

# benchmark_value FILE FAMILY FIELD [AGGREGATE]: FIELD of the benchmark whose name begins with
# FAMILY followed by "/", from a JSON report; of its AGGREGATE (median, mean...) when given.
benchmark_value() {
    jq -r --arg family "$2/" --arg field "$3" --arg aggregate "${4:-}" \
        '[.benchmarks[] | select((.name | startswith($family))
            and ((.aggregate_name // "") == $aggregate))][0][$field] // empty' "$1"
}

section_discovery() {
    echo "== Discovery"
    build bench_discovery peak_rss >"$work/build-discovery.log" 2>&1 ||
        { cat "$work/build-discovery.log"; exit 1; }
    in_namespace "$build/bin/bench_discovery" --benchmark_out="$work/discovery.json" \
        --benchmark_out_format=json >"$work/discovery.txt" 2>&1 ||
        { cat "$work/discovery.txt"; exit 1; }
    cat "$work/discovery.txt"
    echo

    json="$work/discovery.json"
    worst=$(benchmark_value "$json" BM_AddReply_DuplicateOfLast real_time median)
    figure "AddReply, 10 records, duplicate (median)" "$worst" us 5
    distinct=$(benchmark_value "$json" BM_AddReply_Distinct real_time median)
    figure "AddReply, 10 records, new device (median)" "$distinct" us 5
    typical=$(benchmark_value "$json" BM_AddReply_DuplicateOfLast_Typical real_time median)
    compared "AddReply, 10 ordinary records (median)" "$typical" us "records differ in the MAC"

    figure "search without reply, wall time" \
        "$(benchmark_value "$json" BM_SearchWithoutReply real_time)" ms 2520
    figure "search without reply, process CPU time" \
        "$(benchmark_value "$json" BM_SearchWithoutReply process_cpu_ms)" ms 20
    figure "search on 4 paths without reply, wall time" \
        "$(benchmark_value "$json" BM_SearchWithoutReply_FourPaths real_time)" ms 2520
    figure "search on 4 paths without reply, CPU time" \
        "$(benchmark_value "$json" BM_SearchWithoutReply_FourPaths process_cpu_ms)" ms 20
    # 1000 ms pause and the 10 s bound on the receiving, plus at most 100 ms.
    figure "search under an endless stream (5,000/s)" \
        "$(benchmark_value "$json" BM_SearchUnderEndlessStream real_time)" ms 11100

    # The reporter's memory: one real search, which in the empty namespace finds nothing.
    if build nimbrel-discover >"$work/build-discover.log" 2>&1 &&
        [ -x "$build/bin/nimbrel-discover" ]; then
        if in_namespace "$build/bin/peak_rss" "$build/bin/nimbrel-discover" --from 127.0.0.1 \
            --json >"$work/discover.out" 2>"$work/discover.err"; then
            :
        else
            echo "(nimbrel-discover ended with a failure; measured anyway:" \
                "$(grep -v '^peak_rss' "$work/discover.err" | tr '\r\n' '  '))"
        fi
        kib=$(sed -n 's/^peak_rss_kib=\([0-9]*\).*/\1/p' "$work/discover.err")
        figure "nimbrel-discover peak RSS" "$(awk -v k="$kib" 'BEGIN { print k / 1024 }')" MiB 4
    else
        skipped "nimbrel-discover peak RSS" "nimbrel-discover does not build yet"
    fi
}

# values FILE NAME: the values of the "NAME=value" lines (or words) of a file, one a line.
values() {
    sed -n "s/.*\<$2=\(-\?[0-9.]*\).*/\1/p" "$1"
}

# value FILE NAME: the first of them.
value() {
    values "$1" "$2" | head -n 1
}

# median FILE NAME: the median of them (the lower middle one of an even count); nothing when
# there is none.
median() {
    values "$1" "$2" | sort -n |
        awk '{ values[NR] = $1 } END { if (NR > 0) print values[int((NR + 1) / 2)] }'
}

# mebibytes KIB: the amount in MiB; nothing when there is no amount.
mebibytes() {
    [ -z "$1" ] || awk -v kib="$1" 'BEGIN { print kib / 1024 }'
}

# A thousand devices whose replies come at once: bench_burst, one search on loopback in the
# empty namespace, with the socket's own receive buffer (1 MiB asked for; as root the system
# grants it whatever its limit) and with one asked for as the system's default limit allows
# (net.core.rmem_max, 212,992 bytes), where what does not fit must be counted as lost.
section_burst() {
    echo "== Burst of replies"
    build bench_burst >"$work/build-burst.log" 2>&1 || { cat "$work/build-burst.log"; exit 1; }
    in_namespace "$build/bin/bench_burst" 1000 >"$work/burst.txt" 2>&1 || cat "$work/burst.txt"
    listed=$(value "$work/burst.txt" devices_listed)
    lost=$(value "$work/burst.txt" lost_replies)
    [ "$(value "$work/burst.txt" replies_sent)" = 1000 ] ||
        echo "(the device did not send its 1,000 replies: $(cat "$work/burst.txt"))"
    count "1,000 replies at once: devices listed" "$listed" ">=" 1000
    count "1,000 replies at once: replies lost" "$lost" "<=" 0
    counted "1,000 replies at once: receive buffer, bytes" \
        "$(value "$work/burst.txt" receive_buffer)" "as the system reports it"

    in_namespace "$build/bin/bench_burst" 1000 212992 >"$work/burst-capped.txt" 2>&1 ||
        cat "$work/burst-capped.txt"
    listed=$(value "$work/burst-capped.txt" devices_listed)
    lost=$(value "$work/burst-capped.txt" lost_replies)
    count "same, 212,992 B asked: listed + lost" \
        "$([ -n "$listed" ] && [ -n "$lost" ] && echo $((listed + lost)))" = 1000
    counted "same, 212,992 B asked: devices listed" "$listed" "the others lost"
    counted "same, 212,992 B asked: replies lost" "$lost" \
        "buffer $(value "$work/burst-capped.txt" receive_buffer) B as the system reports it"
}

# The real program started as a user starts it, under an X server of its own (Xvfb) in the
# empty namespace, where simulated devices answer over loopback: the time to the window on
# screen, whatever answers, and to the first device listed.
section_launch() {
    echo "== Launch"
    if ! grep -q '^NIMBREL_BUILD_GUI:BOOL=ON' "$build/CMakeCache.txt"; then
        skipped "launch figures" "the build has no window (NIMBREL_BUILD_GUI=OFF)"
        return
    fi
    build nimbrel-utility nimbrel-devsim bench_stream_device >"$work/build-launch.log" 2>&1 ||
        { cat "$work/build-launch.log"; exit 1; }
    in_utility="$root/bench/gui/in_namespace_utility.sh"
    # Five launches each; the median is the figure (a launch is a few hundred ms, and one other
    # process on the machine can take a good part of that).
    for answering in none devices stream; do
        for _ in 1 2 3 4 5; do
            in_namespace bash "$in_utility" first-mapped "$build/bin" "$answering" \
                >>"$work/mapped-$answering.txt" 2>&1 || cat "$work/mapped-$answering.txt"
        done
    done
    figure "window mapped, no device (median of 5)" \
        "$(median "$work/mapped-none.txt" first_mapped_ms)" ms 300
    figure "window mapped, 14 devices (median of 5)" \
        "$(median "$work/mapped-devices.txt" first_mapped_ms)" ms 300
    figure "window mapped, 5,000/s stream (median of 5)" \
        "$(median "$work/mapped-stream.txt" first_mapped_ms)" ms 300
    # The search's pause (1000 ms) and quiet time (1500 ms) come before the first listing.
    status=0
    for _ in 1 2 3 4 5; do
        in_namespace bash "$in_utility" first-listed "$build/bin" >>"$work/listed.txt" 2>&1 ||
            status=$?
    done
    if [ "$status" = 77 ]; then
        skipped "first device listed, 14 devices" "$(tr '\n' ' ' <"$work/listed.txt")"
    else
        [ "$status" = 0 ] || cat "$work/listed.txt"
        figure "first device listed, 14 devices (median of 5)" \
            "$(median "$work/listed.txt" first_listed_ms)" ms 2700
    fi
}

section_gui() {
    echo "== Window"
    if ! grep -q '^NIMBREL_BUILD_GUI:BOOL=ON' "$build/CMakeCache.txt"; then
        skipped "window figures" "the build has no window (NIMBREL_BUILD_GUI=OFF)"
        return
    fi
    build bench_gui_window nimbrel-utility nimbrel-devsim peak_rss \
        >"$work/build-gui.log" 2>&1 || { cat "$work/build-gui.log"; exit 1; }
    bin="$build/bin"
    in_utility="$root/bench/gui/in_namespace_utility.sh"

    # The event loop during whole searches of the real driver: a 1 ms probe timer's longest
    # gap between two ticks.
    in_namespace env QT_QPA_PLATFORM=offscreen "$bin/bench_gui_window" hold \
        >"$work/hold.txt" 2>&1 || cat "$work/hold.txt"
    figure "event loop held, search, no device" "$(value "$work/hold.txt" no_device_hold_ms)" \
        ms 20
    compared "window search, no device, wall time" \
        "$(value "$work/hold.txt" no_device_search_ms)" ms "pause 1000 ms and quiet 1500 ms"
    figure "event loop held, search, 11 devices" "$(value "$work/hold.txt" devices_hold_ms)" \
        ms 20
    figure "event loop held, 5,000 datagrams/s stream" \
        "$(value "$work/hold.txt" stream_hold_ms)" ms 20
    # 1000 ms pause and the 10 s bound on the receiving, plus at most 100 ms.
    figure "window search under a 5,000/s stream" "$(value "$work/hold.txt" stream_search_ms)" \
        ms 11100

    # Two minutes of Auto Refresh (a search every 8 s) while devices come and go.
    in_namespace env QT_QPA_PLATFORM=offscreen "$bin/bench_gui_window" auto-refresh 120 \
        >"$work/auto-refresh.txt" 2>&1 || cat "$work/auto-refresh.txt"
    figure "RSS growth, 2 min Auto Refresh, 3rd to last" \
        "$(mebibytes "$(value "$work/auto-refresh.txt" rss_growth_kib)")" MiB 1
    compared "RSS after 2 min Auto Refresh" \
        "$(mebibytes "$(value "$work/auto-refresh.txt" rss_last_kib)")" MiB \
        "$(value "$work/auto-refresh.txt" searches) searches, 0/11/5 devices in turn"

    in_namespace bash "$in_utility" rss "$bin" >"$work/rss.txt" 2>&1 || cat "$work/rss.txt"
    if [ "$(value "$work/rss.txt" requests_answered)" != 2 ]; then
        echo "(the simulated devices did not answer both start-up searches:" \
            "$(tr '\n' ' ' <"$work/rss.txt"))"
    fi
    figure "nimbrel-utility peak RSS, 11 devices" \
        "$(mebibytes "$(value "$work/rss.txt" peak_rss_kib)")" MiB 60
    in_namespace env QT_QPA_PLATFORM=offscreen "$bin/bench_gui_window" rss \
        >"$work/rss-in-process.txt" 2>&1 || cat "$work/rss-in-process.txt"
    compared "window peak RSS, 11 devices, in-process" \
        "$(mebibytes "$(value "$work/rss-in-process.txt" peak_rss_kib)")" MiB \
        "offscreen, $(value "$work/rss-in-process.txt" devices_listed) devices listed"

    # Pictures of the window with four devices, and during a search, for a look by eye.
    mkdir -p "$build/screenshots"
    if in_namespace env QT_QPA_PLATFORM=offscreen "$bin/bench_gui_window" screenshot \
        "$build/screenshots/window.png" >"$work/screenshot.txt" 2>&1; then
        echo "screenshots: $build/screenshots/window.png, window-searching.png"
    else
        cat "$work/screenshot.txt"
        failures=$((failures + 1))
    fi
}

section_window_many() {
    echo "== Window with 1,024 devices"
    if ! grep -q '^NIMBREL_BUILD_GUI:BOOL=ON' "$build/CMakeCache.txt"; then
        skipped "window figures, 1,024 devices" "the build has no window (NIMBREL_BUILD_GUI=OFF)"
        return
    fi
    build bench_gui_window >"$work/build-many.log" 2>&1 || { cat "$work/build-many.log"; exit 1; }
    # The search is stood in for, so that only the window's work is measured: the list built
    # from one result of 1,024 devices, then the details table sorted by each column both ways.
    in_namespace env QT_QPA_PLATFORM=offscreen "$build/bin/bench_gui_window" many \
        >"$work/many.txt" 2>&1 || cat "$work/many.txt"
    count "devices listed of 1,024 found" "$(value "$work/many.txt" many_listed)" = 1024
    figure "event loop held, list of 1,024 built" "$(value "$work/many.txt" many_build_hold_ms)" \
        ms 30
    figure "event loop held, 1,024 details sorted" "$(value "$work/many.txt" many_sort_hold_ms)" \
        ms 30
    figure "window RSS with 1,024 devices listed" \
        "$(mebibytes "$(value "$work/many.txt" many_rss_listed_kib)")" MiB 200
    compared "RSS growth, 1,024 devices listed" \
        "$(mebibytes "$(value "$work/many.txt" many_rss_growth_kib)")" MiB \
        "in-process, offscreen, from the empty window shown"
}

# SECTIONS in the environment runs only those, for example SECTIONS=burst bench/run.sh.
SECTIONS=${SECTIONS:-"discovery burst launch gui window_many"}

for section in $SECTIONS; do
    "section_$section"
    echo
done

if [ "$failures" -ne 0 ]; then
    echo "$failures figure(s) over target"
    exit 1
fi
echo "every figure within its target"

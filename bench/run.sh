#!/bin/sh
# Builds the benchmarks, runs them inside a fresh network namespace (nothing they send can
# leave it) and prints every figure beside its target.
#   usage: bench/run.sh [BUILD_DIR]      (default: build, configured with the default preset)
# Each part of the program has a section below: a function section_<name> that builds what it
# needs, runs it and reports through `figure`; SECTIONS lists them in order.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
case $build in /*) ;; *) build=$(pwd)/$build ;; esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset default -S "$root" -B "$build"
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

# rounded VALUE: the value with two decimals, as the report shows it.
rounded() {
    awk -v value="$1" 'BEGIN { printf "%.2f", value }'
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
    printf '%-44s %12s %-4s  (for comparison: records differ in the MAC)\n' \
        "AddReply, 10 ordinary records (median)" "$(rounded "$typical")" us

    figure "search without reply, wall time" \
        "$(benchmark_value "$json" BM_SearchWithoutReply real_time)" ms 2520
    figure "search without reply, process CPU time" \
        "$(benchmark_value "$json" BM_SearchWithoutReply process_cpu_ms)" ms 20

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

SECTIONS="discovery"

for section in $SECTIONS; do
    "section_$section"
    echo
done

if [ "$failures" -ne 0 ]; then
    echo "$failures figure(s) over target"
    exit 1
fi
echo "every figure within its target"

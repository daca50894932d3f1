#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the discovery library, the command-line tools and their tests for Windows with mingw-w64,
# then runs them under Wine inside a private network namespace that holds nothing but loopback:
# the discovery tests, and nimbrel-discover.exe against the device simulator over loopback.
#
# When scripts/build-windows has built Qt for Windows (its cache, see scripts/windows/qt.sh),
# the window is built for Windows too, with its installer, and tests/windows/window.sh runs the
# window tests, the window searching across a veth cable and the installer under Wine; without
# the cache that part is skipped and says so.
#
# Called by scripts/test from inside its namespace; run on its own it creates one. Prints
# "N passed, N failed" for the Windows part, writes "windows PASSED FAILED SKIPPED" to
# BUILD/windows-summary, and exits non-zero on any failure.
#
# NIMBREL_MINGW_BUILD_DIR     build directory (default: build-mingw, the preset's)
# NIMBREL_WINDOW_BUILD_DIR    build directory of the window for Windows (default: build-windows-test)
# NIMBREL_NATIVE_DEVSIM       a Linux nimbrel-devsim to run against the .exe as well (default:
#                             build/bin/nimbrel-devsim when it exists)
# NIMBREL_WINDOWS_SCREENSHOTS a folder for screenshots of the window and the installer under Wine
# NIMBREL_WINDOWS_CACHE       where the Qt for Windows caches are (see scripts/windows/qt.sh)
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
root=$(pwd)
build=${NIMBREL_MINGW_BUILD_DIR:-$root/build-mingw}
native_devsim=${NIMBREL_NATIVE_DEVSIM:-$root/build/bin/nimbrel-devsim}
window_build=${NIMBREL_WINDOW_BUILD_DIR:-$root/build-windows-test}

# True when this namespace has no interface but loopback, so nothing sent here can leave it.
only_loopback() {
    command -v ip >/dev/null || return 1
    [ -z "$(ip -o link show | awk -F': ' '$2 != "lo" {print $2}')" ]
}

write_summary() {  # passed failed skipped
    mkdir -p "$build"
    echo "windows $1 $2 $3" > "$build/windows-summary"
}

if [ "${NIMBREL_WINDOWS_INNER:-}" != 1 ]; then
    SECONDS=0
    # Packages come from the network, so they are installed before any private namespace.
    if ! only_loopback; then
        bash scripts/deps.sh windows || { write_summary 0 1 0; exit 1; }
    fi
    for command in x86_64-w64-mingw32-g++-posix wine wineboot wineserver cmake ninja; do
        if ! command -v "$command" >/dev/null; then
            echo "test-windows: '$command' is missing (scripts/deps.sh windows installs it)" >&2
            write_summary 0 1 0
            exit 1
        fi
    done

    echo "--- mingw-w64 build"
    if ! { cmake --preset mingw -B "$build" >/dev/null && cmake --build "$build"; }; then
        echo "test-windows: the mingw build failed"
        echo "0 passed, 1 failed"
        write_summary 0 1 0
        exit 1
    fi

    # The window for Windows: built here, run inside the namespace.
    source scripts/windows/qt.sh
    window_state=skipped
    if ! qt_dir=$(qt_windows_cache_dir "$root" 2>/dev/null); then
        window_note="Windows window: skipped (the packages that Qt for Windows is built with"
        window_note+=" are missing; scripts/build-windows installs them and builds its cache)"
    elif ! qt_windows_cache_complete "$qt_dir"; then
        window_note="Windows window: skipped (no Qt for Windows cache at $qt_dir;"
        window_note+=" scripts/build-windows builds it)"
    else
        echo "--- the window for Windows, with Qt for Windows from $qt_dir"
        window_state=failed
        NIMBREL_QT_WINDOWS_DIR=$qt_dir NIMBREL_WINDOWS_BUILD_DIR=$window_build \
            NIMBREL_WINDOWS_TESTS="about_tests gui_tests window_probe" \
            bash scripts/windows/build-programs.sh && window_state=built
    fi
    export NIMBREL_WINDOW_STATE=$window_state NIMBREL_WINDOW_NOTE=${window_note:-}

    export NIMBREL_WINDOWS_INNER=1 NIMBREL_WINDOWS_STARTED=$SECONDS
    if only_loopback; then
        exec bash "$0" "$@"
    fi
    if [ "$(id -u)" = 0 ] && unshare -n true 2>/dev/null; then
        exec unshare -n bash -c 'ip link set lo up && exec bash "$0" "$@"' "$0" "$@"
    fi
    echo "test-windows: cannot create a private network namespace (needs root);" \
         "the Windows programs are built but not run"
    write_summary 0 0 1
    exit 0
fi

# --- From here on: inside a namespace with loopback only.
SECONDS=${NIMBREL_WINDOWS_STARTED:-0}
if ! only_loopback; then
    echo "test-windows: refusing to run outside a loopback-only network namespace" >&2
    write_summary 0 1 0
    exit 1
fi
ip link set lo up
# The host name resolves to 127.0.0.1 only, which the search passes over, so it binds to any
# address; without an interface address to leave from, Linux then has no route for the limited
# broadcast. This route lets it loop back to the simulator, in this namespace only.
ip route replace broadcast 255.255.255.255 dev lo table local

bin=$build/bin
work=$(mktemp -d)
# A throw-away prefix. Wine's sockets are created by wineserver, so the server must start in
# this namespace: a fresh prefix guarantees that no server from outside is reused.
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko installers, no window of any kind.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

helpers=()
cleanup() {
    for pid in "${helpers[@]}"; do
        kill "$pid" 2>/dev/null
    done
    wineserver -k 2>/dev/null  # the server of this prefix only
    rm -rf "$work"
}
trap cleanup EXIT

passed=0
failed=0
skipped=0
pass() { passed=$((passed + $1)); }
fail() {
    failed=$((failed + 1))
    echo "FAIL: $1"
    [ -f "${2:-}" ] && sed 's/^/    /' "$2" | tail -n 40
}

echo "--- the window's Windows-only files against the Qt 6 headers (syntax only)"
# There is no Qt for mingw-w64 here, so these cannot be built; compiling them without linking,
# against the native Qt headers, still catches what a Windows build would reject in them.
qt_headers=$(find /usr/include -maxdepth 2 -type d -name qt6 | head -n1)
if [ -z "$qt_headers" ]; then
    echo "skipped: no Qt 6 headers"
    skipped=$((skipped + 1))
else
    for source in "$root"/main/*_win.cpp "$root"/app/*_win.cpp; do
        [ -f "$source" ] || continue
        log=$work/$(basename "$source").log
        if x86_64-w64-mingw32-g++-posix -std=c++20 -fsyntax-only -DQT_NO_KEYWORDS -DUNICODE -D_UNICODE \
            -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast \
            -Werror -I"$root" -isystem "$qt_headers" -isystem "$qt_headers/QtCore" \
            -isystem "$qt_headers/QtGui" -isystem "$qt_headers/QtWidgets" "$source" >"$log" 2>&1
        then
            echo "ok: ${source#"$root"/}"
            pass 1
        else
            fail "${source#"$root"/}" "$log"
        fi
    done
fi

echo "--- preparing the Wine prefix"
started=$SECONDS
if ! timeout 300 wineboot -i >"$work/wineboot.log" 2>&1; then
    fail "wineboot" "$work/wineboot.log"
fi
wineserver -w
echo "Wine prefix ready in $((SECONDS - started)) s"

# Wine lets a socket bind to an address that is not the machine's (getsockname even reports
# it), where Windows refuses with 10049; the tests that expect that refusal are left out here
# and run on Windows and on Linux.
export GTEST_FILTER="-UdpSearchSocket.BindingToAnAddressThatIsNotOursFailsWithItsCode"

echo "--- test programs"
programs=$(ctest --test-dir "$build" -N | sed -n 's/^ *Test *#[0-9]*: *//p')
for program in $programs; do
    log=$work/$program.log
    if [ ! -f "$bin/$program.exe" ]; then
        # Not a GoogleTest program of its own name: ctest knows how to run it.
        if timeout 600 ctest --test-dir "$build" -R "^$program\$" --output-on-failure >"$log" 2>&1; then
            echo "ok: $program"
            pass 1
        else
            fail "$program" "$log"
        fi
        continue
    fi
    timeout 600 wine "$bin/$program.exe" --gtest_color=no >"$log" 2>&1
    status=$?
    ok=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' "$log" | tail -n1)
    bad=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\{0,1\}, listed below.*/\1/p' "$log" | tail -n1)
    off=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\{0,1\}, listed below.*/\1/p' "$log" | tail -n1)
    pass "${ok:-0}"
    skipped=$((skipped + ${off:-0}))
    if [ "$status" = 0 ] && [ -n "$ok" ]; then
        echo "ok: $program ($ok tests)"
    else
        fail "$program (exit status $status)" "$log"
        failed=$((failed + ${bad:-1} - 1))
    fi
done

echo "--- nimbrel-discover.exe against the device simulator"
ap='model=AP-Nine,ipv4=192.168.7.20,mac=00-1A-2B-3C-4D-5E,firmware=2.4.1,copy=AP-Nine at desk'
bridge='model=Bridge-Two,ipv4=192.168.7.21,mac=00:1a:2b:3c:4d:5f,firmware=1.0,delay=300'
two_devices='{"devices":[{"model":"AP-Nine","ipv4":"192.168.7.20","mac":"00-1A-2B-3C-4D-5E","firmware":"2.4.1","copy_text":"AP-Nine at desk"},{"model":"Bridge-Two","ipv4":"192.168.7.21","mac":"00-1A-2B-3C-4D-5F","firmware":"1.0","copy_text":""}]}'

# Starts a simulator (the program, then its options) answering one request on 0.0.0.0:10001,
# and waits until it listens.
simulator=0
start_simulator() {
    "$@" --requests 1 --log "$work/requests.log" >"$work/devsim.log" 2>&1 &
    simulator=$!
    helpers+=("$simulator")
    for _ in $(seq 300); do
        grep -q 'listening on' "$work/devsim.log" && return 0
        kill -0 "$simulator" 2>/dev/null || break
        sleep 0.1
    done
    echo "the simulator did not start:"
    cat "$work/devsim.log"
    return 1
}

stop_simulator() {
    kill "$simulator" 2>/dev/null
    wait "$simulator" 2>/dev/null
}

# The devices' fields in order, one line per field, whatever else the JSON carries.
device_fields() {
    grep -Eo '"(model|ipv4|mac|firmware|copy_text)":("([^"\\]|\\.)*"|null)' || true
}

# check NAME EXPECTED-STATUS EXPECTED-JSON DISCOVER-OPTIONS -- SIMULATOR-COMMAND...
# The devices of EXPECTED-JSON are compared field by field with those printed; an expected
# status of 1 compares stderr whole instead. When `want_stderr` is set, stderr must hold it.
check_discover() {
    local name=$1 status=$2 expected=$3
    shift 3
    local options=()
    while [ "$1" != -- ]; do options+=("$1"); shift; done
    shift
    local log=$work/check.log
    : >"$work/requests.log"
    {
        echo "simulator: $*"
        echo "nimbrel-discover.exe ${options[*]}"
    } >"$log"
    if ! start_simulator "$@" >>"$log"; then
        fail "$name" "$log"
        return
    fi
    local actual code
    if [ "$status" = 0 ]; then
        actual=$(timeout 60 wine "$bin/nimbrel-discover.exe" "${options[@]}" 2>"$work/stderr")
        code=$?
        cat "$work/stderr" >>"$log"
        if [ -n "${want_stderr:-}" ] && ! grep -q "$want_stderr" "$work/stderr"; then
            code="$code (stderr lacks '$want_stderr')"
        fi
        actual=$(printf '%s' "$actual" | device_fields)
        expected=$(printf '%s' "$expected" | device_fields)
    else
        actual=$(timeout 60 wine "$bin/nimbrel-discover.exe" "${options[@]}" 2>&1 >>"$log")
        code=$?
    fi
    stop_simulator
    {
        echo "exit status $code (expected $status)"
        echo "output:   $actual"
        echo "expected: $expected"
        echo "requests received:"
        cat "$work/requests.log"
    } >>"$log"
    if [ "$code" = "$status" ] && [ "$actual" = "$expected" ] &&
        grep -q ' 01000000$' "$work/requests.log"; then
        echo "ok: $name"
        pass 1
    else
        fail "$name" "$log"
    fi
}

devsim=(wine "$bin/nimbrel-devsim.exe")

check_discover "two devices, sent from 127.0.0.1" 0 "$two_devices" \
    --json --from 127.0.0.1 -- "${devsim[@]}" --device "$ap" --device "$bridge"
if grep -q '^from 127\.0\.0\.1:' "$work/requests.log"; then
    pass 1
else
    fail "the request left from 127.0.0.1" "$work/requests.log"
fi

# The look-up path: gethostbyname under its own Winsock 1.1 start-up, then a bind to any
# address (see the route above).
if getent hosts "$(hostname)" >/dev/null; then
    check_discover "two devices, address looked up" 0 "$two_devices" \
        --json -- "${devsim[@]}" --device "$ap" --device "$bridge"
else
    # Debian's installer writes the host name into /etc/hosts; a bare chroot has none.
    echo "skipped: two devices, address looked up (the host name '$(hostname)' does not resolve)"
    skipped=$((skipped + 1))
fi

check_discover "a datagram that fails the reply check is ignored" 0 '{"devices":[]}' \
    --json --from 127.0.0.1 -- "${devsim[@]}" --reply-hex 02000000

# recvfrom with a 201-byte buffer: a datagram of exactly 201 bytes is read whole; one of 202
# fails with WSAEMSGSIZE and is dropped, and the search goes on. Wine reports both as Windows
# does.
zeros=$(printf '00%.0s' $(seq 197))
check_discover "a 201-byte reply is read whole" 0 \
    '{"devices":[{"model":null,"ipv4":null,"mac":null,"firmware":null,"copy_text":null}]}' \
    --json --from 127.0.0.1 -- "${devsim[@]}" --reply-hex "01000000$zeros"
want_stderr=over-long
check_discover "a 202-byte reply is dropped and the devices around it are listed" 0 "$two_devices" \
    --json --from 127.0.0.1 -- "${devsim[@]}" --device "$ap" --delay 100 \
    --reply-hex "01000000${zeros}00" --device "$bridge"
want_stderr=

if [ -x "$native_devsim" ]; then
    check_discover "two devices from the Linux simulator" 0 "$two_devices" \
        --json --from 127.0.0.1 -- "$native_devsim" --device "$ap" --device "$bridge"
else
    echo "skipped: no Linux nimbrel-devsim at $native_devsim"
    skipped=$((skipped + 1))
fi

echo "--- the window for Windows under Wine"
case "${NIMBREL_WINDOW_STATE:-skipped}" in
    skipped)
        echo "$NIMBREL_WINDOW_NOTE"
        skipped=$((skipped + 1))
        ;;
    failed)
        fail "building the window for Windows (see above)"
        ;;
    built)
        if [ ! -x "$native_devsim" ]; then
            echo "Windows window: skipped (no Linux nimbrel-devsim at $native_devsim)"
            skipped=$((skipped + 1))
        else
            installers=("$window_build"/dist/*-setup.exe)
            bash tests/windows/window.sh "$window_build/programs/bin" "${installers[0]}" \
                "$native_devsim" "${NIMBREL_WINDOWS_SCREENSHOTS:-}" 2>&1 | tee "$work/window.log"
            status=${PIPESTATUS[0]}
            counts=$(sed -n 's/^window: \([0-9]*\) passed, \([0-9]*\) failed, \([0-9]*\) skipped$/\1 \2 \3/p' \
                "$work/window.log")
            if [ "$status" = 77 ]; then
                skipped=$((skipped + 1))
            elif [ -n "$counts" ]; then
                read -r window_passed window_failed window_skipped <<<"$counts"
                passed=$((passed + window_passed))
                failed=$((failed + window_failed))
                skipped=$((skipped + window_skipped))
                [ "$status" = 0 ] || [ "$window_failed" != 0 ] || failed=$((failed + 1))
            else
                fail "tests/windows/window.sh ended with status $status"
            fi
        fi
        ;;
esac

echo
echo "Windows part took $SECONDS s"
echo "$passed passed, $failed failed"
write_summary "$passed" "$failed" "$skipped"
[ "$failed" = 0 ]

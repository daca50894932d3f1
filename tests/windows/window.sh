#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The window built for Windows, under Wine on an X server of its own (Xvfb), on a "workstation"
# network namespace joined by a veth cable to a "device" namespace where the Linux
# nimbrel-devsim answers as three devices:
#   - the window tests (Qt Test and GoogleTest programs);
#   - the real window searching: the captions of the devices it lists and the status text of the
#     first one, read back through Qt by window_probe.exe;
#   - the installer, silent, for all users (Wine runs as an administrator) and for the current
#     user: the files, the Start-menu shortcut and the entry in the list of installed programs
#     appear; the installed nimbrel-utility.exe starts, shows its window and searches; the
#     uninstaller leaves nothing behind.
#   window.sh BIN INSTALLER NIMBREL-DEVSIM [SCREENSHOTS]
# BIN holds the Windows programs (gui_tests.exe, about_tests.exe, window_probe.exe); NIMBREL-DEVSIM
# is the Linux one. With SCREENSHOTS (a folder), the installed window listing the devices and
# the installer's licence page are saved there as PNG (needs xwd and netpbm).
# Prints "ok: NAME", "FAIL: NAME" or "skipped: NAME" per check and a last line
# "window: N passed, N failed, N skipped".
# Exit status: 0 passed, 1 failed, 77 skipped (no namespaces, Xvfb or xdotool here).
set -u

bin=${1:?folder of the Windows programs}
installer=${2:?the installer}
devsim=${3:?the Linux nimbrel-devsim}
screenshots=${4:-}
here=$(cd "$(dirname "$0")" && pwd)

title=' Nimbrel AP/Bridge/CloudAP Utility Config'
devices=(
    'model=AP-1,ipv4=198.51.100.2,mac=00-00-5E-00-53-01,firmware=1.0'
    'model=Bridge-2,ipv4=198.51.100.3,mac=00-00-5E-00-53-02,firmware=2.0'
    'model=CloudAP-3,ipv4=198.51.100.4,mac=00-00-5E-00-53-03,firmware=3.0'
)
# What the installer installs (the zip holds the same but the uninstaller).
files=(nimbrel-utility.exe nimbrel-discover.exe LICENSE.txt LGPL-3.0.txt GPL-3.0.txt RELINKING.txt
       Qt-COPYRIGHT.txt uninstall.exe)
# The window lists them in the order they answer, which the simulator keeps.
expected_probe='AP-1 198.51.100.2
Bridge-2 198.51.100.3
CloudAP-3 198.51.100.4
status: MAC:00-00-5E-00-53-01  VER:1.0'

# --- Outside: the two namespaces and the device, made and removed by namespaces.sh. ----------
if [ "${WINDOWS_WINDOW_INNER:-}" != 1 ]; then
    test_name=window
    source "$here/../e2e/namespaces.sh"
    for command in Xvfb xdotool wine wineboot wineserver winepath; do
        command -v "$command" >/dev/null || skip "$command is missing"
    done
    two_namespaces nbw
    device_options=()
    for device in "${devices[@]}"; do
        device_options+=(--device "$device")
    done
    start_devsim "$dev" "$work/devsim.out" "${device_options[@]}" --log "$work/requests.log" ||
        skip "the simulator did not start: $(cat "$work/devsim.out")"
    WINDOWS_WINDOW_INNER=1 WINDOWS_WINDOW_WORK=$work ip netns exec "$ws" bash "$0" "$@"
    exit $?
fi

# --- Inside the workstation namespace. ---------------------------------------------------------
work=$WINDOWS_WINDOW_WORK
passed=0
failed=0
skipped=0
pids=()
ok() {
    echo "ok: $1"
    passed=$((passed + 1))
}
fail() {
    echo "FAIL: $1"
    failed=$((failed + 1))
    [ -f "${2:-}" ] && tail -n 30 "$2" | sed 's/^/    /'
}
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    wineserver -k 2>/dev/null  # the server of this prefix only
    return 0
}
trap cleanup EXIT

# wait_for SECONDS COMMAND...: until COMMAND succeeds (0) or SECONDS pass (1).
wait_for() {
    local tries=$(($1 * 10))
    shift
    until "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/display" \
    2>"$work/xvfb.err" &
pids+=($!)
wait_for 10 test -s "$work/display" || { fail "Xvfb did not start" "$work/xvfb.err"; exit 1; }
export DISPLAY=:$(cat "$work/display")

# A prefix of this test's own, so that its wineserver, which owns the sockets, runs here.
export HOME=$work/home WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installers
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -p "$HOME"
if ! timeout 300 wineboot -i >"$work/wineboot.log" 2>&1; then
    fail "wineboot" "$work/wineboot.log"
    exit 1
fi
wineserver -w

ended() { ! kill -0 "$1" 2>/dev/null; }

# windows_path UNIX-PATH: the same file as the Windows programs name it.
windows_path() { winepath -w "$1" 2>/dev/null; }
# unix_path WINDOWS-PATH
unix_path() { winepath -u "$1" 2>/dev/null; }

version=$(basename "$installer" | sed -n 's/^nimbrel-utility-\(.*\)-windows-x64-setup\.exe$/\1/p')

# --- The zip and the programs' resources. -------------------------------------------------------
zip=${installer%-setup.exe}.zip
folder=$(basename "${zip%.zip}")
listed=$(python3 -c 'import sys, zipfile; print("\n".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' \
    "$zip" 2>&1)
expected_zip=$({
    echo "$folder/"
    for file in "${files[@]}"; do
        [ "$file" = uninstall.exe ] || echo "$folder/$file"
    done
} | sort)
if [ "$listed" = "$expected_zip" ]; then
    ok "the zip holds the two programs and the licence texts"
else
    fail "the zip holds: $(tr '\n' ' ' <<<"$listed"); expected: $(tr '\n' ' ' <<<"$expected_zip")"
fi
# The version information (UTF-16 strings: a key, its terminating zero, padding to four bytes,
# the value) and the manifest, in the programs as built.
for program in nimbrel-utility nimbrel-discover; do
    if python3 - "$bin/$program.exe" "$version" <<'PYTHON'
import re
import sys
data = open(sys.argv[1], "rb").read()
def has_value(key, value):
    pattern = re.escape(key.encode("utf-16-le")) + b"(\0\0){1,2}" + re.escape(value.encode("utf-16-le"))
    return re.search(pattern, data) is not None
sys.exit(0 if has_value("FileVersion", sys.argv[2])
         and has_value("OriginalFilename", sys.argv[1].split("/")[-1])
         and b"PerMonitorV2" in data and b"asInvoker" in data
         and b"Microsoft.Windows.Common-Controls" in data else 1)
PYTHON
    then
        ok "$program.exe carries its version $version and its manifest"
    else
        fail "$program.exe lacks its version information or manifest"
    fi
done

# --- The window tests. ---------------------------------------------------------------------
# On Windows' own platform, on the X server. Wine lets a socket bind to an address that is not
# the machine's, where Windows refuses: the test that expects that refusal runs on Linux only.
for program in about_tests gui_tests; do
    log=$work/$program.log
    if [ ! -f "$bin/$program.exe" ]; then
        fail "$program: $bin/$program.exe was not built"
        continue
    fi
    timeout 600 wine "$bin/$program.exe" --gtest_color=no \
        --gtest_filter=-SearchDriverTest.ASocketThatCannotBeBoundFailsTheStart >"$log" 2>&1
    status=$?
    count=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' "$log" | tail -n1)
    off=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\{0,1\}, listed below.*/\1/p' "$log" | tail -n1)
    skipped=$((skipped + ${off:-0}))
    if [ "$status" = 0 ] && [ -n "$count" ]; then
        ok "$program ($count tests${off:+, $off skipped})"
    else
        fail "$program (exit status $status)" "$log"
    fi
done

# --- The real window searching. ---------------------------------------------------------------
requests_before=$(wc -l <"$work/requests.log")
timeout 120 wine "$bin/window_probe.exe" "$(windows_path "$work/probe.txt")" >"$work/probe.log" 2>&1
status=$?
actual=$(tr -d '\r' <"$work/probe.txt" 2>/dev/null)
if [ "$status" = 0 ] && [ "$actual" = "$expected_probe" ]; then
    ok "the window lists the three devices and shows the first one's details"
else
    {
        echo "exit status $status"
        echo "read back:"; echo "$actual"
        echo "expected:"; echo "$expected_probe"
        cat "$work/probe.log"
    } >"$work/probe.report"
    fail "the window's search" "$work/probe.report"
fi
requests=$(tail -n +"$((requests_before + 1))" "$work/requests.log")
if [ -n "$requests" ] && ! grep -qv '^from 198\.51\.100\.1:[0-9]* 01000000$' <<<"$requests"; then
    ok "the window's requests came from the workstation's address ($(wc -l <<<"$requests"))"
else
    fail "the window's requests: '$requests'"
fi

# --- The installer. ----------------------------------------------------------------------------
key='Software\Microsoft\Windows\CurrentVersion\Uninstall\NimbrelUtility'

# registry_value ROOT NAME: a value of the uninstall entry, or nothing.
registry_value() {
    wine reg query "$1\\$key" /v "$2" /reg:64 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}

# save_screenshot NAME TITLE: the window of that title (an extended regular expression) as a
# PNG in the screenshot folder.
save_screenshot() {
    [ -n "$screenshots" ] || return 0
    mkdir -p "$screenshots"
    local window
    window=$(xdotool search --name "$2" 2>/dev/null | head -n1)
    [ -n "$window" ] && xwd -id "$window" -silent | xwdtopnm 2>/dev/null |
        pnmtopng >"$screenshots/$1.png" 2>/dev/null ||
        echo "note: no screenshot $1 (xwd and netpbm are needed)"
}

window_shown() { xdotool search --name "^$title\$" >/dev/null 2>&1; }
# more_requests_than N: the device has received more than N requests (counted on every try).
more_requests_than() { [ "$(wc -l <"$work/requests.log")" -gt "$1" ]; }

# The installed program: starts, shows its window and searches (a new request reaches the
# device); then it is closed as Windows closes a program (WM_CLOSE).
check_installed_program() {  # NAME FOLDER
    local name=$1 folder=$2 before
    before=$(wc -l <"$work/requests.log")
    (cd "$folder" && exec wine ./nimbrel-utility.exe) >"$work/installed.log" 2>&1 &
    local program=$!
    pids+=("$program")
    if wait_for 60 window_shown && wait_for 30 more_requests_than "$before"; then
        ok "$name: the installed program shows its window and searches"
        if [ "$name" = "all users" ] && [ -n "$screenshots" ]; then
            sleep 6  # the search over (1 s pause, 1.5 s quiet) and its list drawn
            save_screenshot windows-window-wine "^$title\$"
        fi
    else
        fail "$name: the installed program did not show its window or search" "$work/installed.log"
    fi
    wine taskkill /IM nimbrel-utility.exe >/dev/null 2>&1
    wait_for 20 ended "$program" || kill "$program" 2>/dev/null
    wait "$program" 2>/dev/null
}

# install_check NAME ROOT START-MENU INSTALLER-OPTIONS...
install_check() {
    local name=$1 root=$2 start_menu=$3
    shift 3
    local location folder missing=() file
    timeout 120 wine "$installer" /S "$@" >"$work/install.log" 2>&1
    wineserver -w
    location=$(registry_value "$root" InstallLocation)
    folder=$(unix_path "$location")
    for file in "${files[@]}"; do
        [ -n "$folder" ] && [ -f "$folder/$file" ] || missing+=("$file")
    done
    if [ -n "$location" ] && [ ${#missing[@]} = 0 ] && [ -f "$start_menu/Nimbrel Utility.lnk" ] &&
        [ "$(registry_value "$root" DisplayVersion)" = "$version" ]; then
        ok "$name: installed into $location, with a shortcut and an entry in $root"
    else
        fail "$name: installed into '$location', missing: ${missing[*]}; shortcut in $start_menu: $(
            ls "$start_menu" 2>&1 | tr '\n' ' ')"
        return
    fi
    check_installed_program "$name" "$folder"
    # The command that the list of installed programs runs: "FOLDER\uninstall.exe" OPTIONS.
    local uninstall program options
    uninstall=$(registry_value "$root" QuietUninstallString)
    program=$(sed -n 's/^"\([^"]*\)".*/\1/p' <<<"$uninstall")
    read -ra options <<<"${uninstall#\"$program\"}"
    # The uninstaller copies itself elsewhere and runs from there; wineserver -w waits for it.
    timeout 120 wine "$program" "${options[@]}" >"$work/uninstall.log" 2>&1
    wineserver -w
    if [ ! -e "$folder" ] && [ ! -e "$start_menu/Nimbrel Utility.lnk" ] &&
        [ -z "$(registry_value "$root" DisplayName)" ]; then
        ok "$name: the uninstaller left nothing behind"
    else
        fail "$name: left behind: $(ls -A "$folder" 2>/dev/null | tr '\n' ' '); shortcut: $(
            ls "$start_menu/Nimbrel Utility.lnk" 2>/dev/null); entry: $(registry_value "$root" DisplayName)"
    fi
}

programs_all=$(unix_path "$(wine cmd /c 'echo %ProgramData%' 2>/dev/null | tr -d '\r')")
programs_user=$(unix_path "$(wine cmd /c 'echo %AppData%' 2>/dev/null | tr -d '\r')")
install_check "all users" HKLM "$programs_all/Microsoft/Windows/Start Menu/Programs"
install_check "current user" HKCU "$programs_user/Microsoft/Windows/Start Menu/Programs" \
    /CurrentUser

if [ -n "$screenshots" ]; then
    # The installer's first page, its licence, shown until it is ended here.
    wine "$installer" >"$work/installer-page.log" 2>&1 &
    pids+=($!)
    if wait_for 60 xdotool search --name "Setup" >/dev/null 2>&1; then
        sleep 2
        save_screenshot windows-installer-licence "Setup"
    else
        echo "note: the installer's window did not appear for its screenshot"
    fi
    wineserver -k 2>/dev/null
fi

echo "window: $passed passed, $failed failed, $skipped skipped"
[ "$failed" = 0 ]

#!/usr/bin/env bash
# The real nimbrel-utility on an X server without a window manager (Xvfb): nothing there
# enforces the window's fixed size, so the window must come up at that size by itself, centred;
# and the class part of its WM_CLASS is the one that the desktop entry names (StartupWMClass),
# so that a dock ties the window to its launcher.
#   x11_window.sh NIMBREL_UTILITY
# Runs in a network namespace of its own, where the broadcast is routed over loopback and
# reaches nothing; skipped (77) where that namespace or Xvfb is not available.
set -euo pipefail
utility=$1
desktop_entry=$(cd "$(dirname "$0")/../../packaging" && pwd)/com.nimbrel.utility.desktop
caption=" Nimbrel AP/Bridge/CloudAP Utility Config"

if [ "${X11_WINDOW_INNER:-}" != 1 ]; then
    for command in xvfb-run Xvfb xwininfo xprop unshare ip; do
        if ! command -v "$command" >/dev/null; then
            echo "SKIPPED: $command is missing"
            exit 77
        fi
    done
    if [ "$(id -u)" != 0 ] || ! unshare -n true 2>/dev/null; then
        echo "SKIPPED: cannot create a network namespace (needs root)"
        exit 77
    fi
    exec unshare -n env X11_WINDOW_INNER=1 bash "$0" "$@"
fi

ip link set lo up
ip addr add 198.51.100.1/24 dev lo
ip route add default dev lo
# Settings of its own: a size that the user saved would change what is checked.
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME

# -noreset: Xvfb would otherwise reset whenever its last client leaves, as each xwininfo does.
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -c '
    "$1" >/dev/null 2>&1 &
    utility=$!
    trap "kill $utility 2>/dev/null" EXIT
    for _ in $(seq 300); do
        xwininfo -name "$2" 2>/dev/null | grep -q IsViewable && break
        sleep 0.1
    done
    # Long enough for a late configure event of the X server to have changed the size.
    sleep 1
    xprop -name "$2" WM_CLASS >wm_class.txt 2>&1
    xwininfo -name "$2"' sh "$utility" "$caption" >info.txt 2>&1 || true

value() { sed -n "s/^ *$1: *\\(-\\{0,1\\}[0-9]*\\)$/\\1/p" info.txt; }
if [ -z "$(value Width)" ]; then
    echo "FAIL: the window never came up"
    cat info.txt
    exit 1
fi
width=$(value Width) height=$(value Height)
x=$(value "Absolute upper-left X") y=$(value "Absolute upper-left Y")
echo "window: ${width}x${height} at ($x, $y)"
status=0
# 392 wide; 405 of client area under the menu bar, whose height depends on the font.
if [ "$width" != 392 ] || [ "$height" -lt 405 ] || [ "$height" -gt 450 ]; then
    echo "FAIL: expected 392 wide and 405 plus a menu bar high"
    status=1
fi
if [ $((x * 2 + width)) -ne 1280 ] || [ $((y * 2 + height)) -gt 1026 ] ||
    [ $((y * 2 + height)) -lt 1022 ]; then
    echo "FAIL: not centred on the 1280x1024 screen"
    status=1
fi
# WM_CLASS(STRING) = "instance", "class"
class=$(sed -n 's/^WM_CLASS(STRING) = ".*", "\(.*\)"$/\1/p' wm_class.txt)
entry_class=$(sed -n 's/^StartupWMClass=//p' "$desktop_entry")
echo "WM_CLASS class: '$class'; the desktop entry's StartupWMClass: '$entry_class'"
if [ -z "$class" ] || [ "$class" != "$entry_class" ]; then
    echo "FAIL: the window's class is not the one that the desktop entry names"
    cat wm_class.txt
    status=1
fi
exit $status

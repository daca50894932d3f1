# SPDX-License-Identifier: MIT
# Shared by the packaging checks: skipping, failure counting and list comparison.
# A check reports every problem it finds before it ends, so one run shows them all.

failures=0
work=

skip() {
    echo "SKIPPED: $*"
    exit 77
}

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# need TOOL PACKAGE: skips the check when TOOL is not on the PATH.
need() {
    command -v "$1" >/dev/null || skip "'$1' is not installed (Debian package $2)"
}

# Makes the scratch directory and removes it when the check ends.
make_work() {
    work=$(mktemp -d) || skip "cannot create a temporary directory"
    trap 'rm -rf "$work"' EXIT
    trap 'exit 130' INT TERM
}

# same_list WHAT EXPECTED ACTUAL: both files hold one path a line, in any order.
same_list() {
    local difference
    difference=$(diff <(sort "$2") <(sort "$3")) && return 0
    fail "$1 are not the expected ones (< expected, > found):"
    echo "$difference"
}

# check_icon_sizes ICON-ROOT: each hicolor PNG has the size that its directory names.
check_icon_sizes() {
    local icon size
    for icon in "$1"/icons/hicolor/*/apps/*.png; do
        size=$(basename "$(dirname "$(dirname "$icon")")")
        file -b "$icon" | grep -q "^PNG image data, ${size%x*} x ${size#*x}," ||
            fail "$icon is not a ${size} PNG: $(file -b "$icon")"
    done
}

finish() {
    if [ "$failures" = 0 ]; then
        echo "PASSED: $1"
        exit 0
    fi
    echo "$failures check(s) failed: $1"
    exit 1
}

#!/usr/bin/env bash
# Installs the build with `cmake --install` into a scratch DESTDIR and checks what a desktop
# needs from it: the three programs, a desktop entry and AppStream metadata that their
# validators accept and that point at each other, the icon in the hicolor theme and the man page.
#
# Usage: check_install.sh CMAKE BUILD-DIR INSTALLED-FILES
# Exit status: 0 passed, 1 a check failed, 77 skipped (a tool is missing).
set -u

cmake=${1:?path to cmake}
build=${2:?build directory}
list=${3:?list of the installed files}
source "$(dirname "$0")/check_lib.sh"

need desktop-file-validate desktop-file-utils
need appstreamcli appstream
need file file
need man man-db
make_work

prefix=/usr
dest=$work/dest
usr=$dest$prefix
if ! DESTDIR=$dest "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    fail "cmake --install failed"
    finish "cmake --install"
fi

# Listed from the DESTDIR itself, so that a file put outside the prefix shows as a difference.
(cd "$dest" && find . ! -type d | sed "s|^\./${prefix#/}/||") >"$work/found"
same_list "the installed files" "$list" "$work/found"

for program in "$usr"/bin/*; do
    [ -x "$program" ] || fail "$program is not executable"
    file -b "$program" | grep -q '^ELF ' || fail "$program is not an ELF program"
done

desktop=$usr/share/applications/nimbrel-utility.desktop
if [ -f "$desktop" ]; then
    report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate rejects $desktop"
    [ -z "$report" ] || fail "desktop-file-validate reports: $report"
    command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop" | head -n1)
    [ -n "$command" ] && [ -x "$usr/bin/$command" ] ||
        fail "the desktop entry starts '$command', which is not an installed program"
    icon=$(sed -n 's/^Icon=//p' "$desktop" | head -n1)
    compgen -G "$usr/share/icons/hicolor/*/apps/$icon.png" >/dev/null ||
        fail "the desktop entry's icon '$icon' is not in the hicolor theme"
fi

metainfo=$usr/share/metainfo/com.nimbrel.utility.metainfo.xml
if [ -f "$metainfo" ]; then
    report=$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1) ||
        fail "appstreamcli rejects $metainfo"
    if grep -q '^[EWI]:' <<<"$report"; then fail "appstreamcli reports: $report"; fi
    id=$(sed -n 's|.*<id>\(.*\)</id>.*|\1|p' "$metainfo")
    [ "$(basename "$metainfo")" = "$id.metainfo.xml" ] ||
        fail "the metadata file is not named after its component ID '$id'"
    launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
    [ "$launchable" = "$(basename "$desktop")" ] ||
        fail "the metadata launches '$launchable' instead of $(basename "$desktop")"
    for binary in $(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$metainfo"); do
        [ -x "$usr/bin/$binary" ] || fail "the metadata provides '$binary', which is not installed"
    done
fi

check_icon_sizes "$usr/share"

page=$usr/share/man/man1/nimbrel-discover.1
if [ -f "$page" ]; then
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$work/man.out" 2>"$work/man.err" ||
        fail "man cannot format $page: $(cat "$work/man.err")"
    [ -s "$work/man.err" ] && fail "man warns about $page: $(cat "$work/man.err")"
    grep -q '^NIMBREL-DISCOVER(1)' "$work/man.out" || fail "the man page has no NIMBREL-DISCOVER(1) header"
fi

finish "cmake --install: programs, desktop entry, AppStream metadata, icons, man page"

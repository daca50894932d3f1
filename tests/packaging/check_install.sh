#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build with `cmake --install` into a scratch DESTDIR and checks what a desktop
# needs from it: the three programs, a desktop entry and AppStream metadata that their
# validators accept and that point at each other, the icons in the hicolor theme, the gzipped
# man pages and the copyright file.
#
# Usage: check_install.sh CMAKE BUILD-DIR INSTALLED-FILES VERSION LICENSE
# Exit status: 0 passed, 1 a check failed, 77 skipped (a tool is missing).
set -u

cmake=${1:?path to cmake}
build=${2:?build directory}
list=${3:?list of the installed files}
version=${4:?project version}
license=${5:?the LICENSE file of the sources}
source "$(dirname "$0")/check_lib.sh"

need desktop-file-validate desktop-file-utils
need appstreamcli appstream
need file file
need man man-db
need gzip gzip
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

# Named after the AppStream ID, which the window gives Qt as its desktop file name.
desktop=$usr/share/applications/com.nimbrel.utility.desktop
if [ -f "$desktop" ]; then
    report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate rejects $desktop"
    [ -z "$report" ] || fail "desktop-file-validate reports: $report"
    command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop" | head -n1)
    [ -n "$command" ] && [ -x "$usr/bin/$command" ] ||
        fail "the desktop entry starts '$command', which is not an installed program"
    icon=$(sed -n 's/^Icon=//p' "$desktop" | head -n1)
    compgen -G "$usr/share/icons/hicolor/*/apps/$icon.png" >/dev/null ||
        fail "the desktop entry's icon '$icon' is not in the hicolor theme"
    svg=$usr/share/icons/hicolor/scalable/apps/$icon.svg
    file -b "$svg" | grep -q '^SVG Scalable Vector Graphics image' ||
        fail "the scalable icon $svg is not an SVG image: $(file -b "$svg")"
    grep -qx '# SPDX-License-Identifier: MIT' "$desktop" ||
        fail "the desktop entry has no SPDX licence line"
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
    grep -q '<project_license>MIT</project_license>' "$metainfo" ||
        fail "the metadata's project licence is not MIT"
    releases=$(sed -n 's|.*<release version="\([^"]*\)".*|\1|p' "$metainfo")
    [ "$releases" = "$version" ] ||
        fail "the metadata's releases are '$releases', not the project version $version"
fi

check_icon_sizes "$usr/share"

# Each program has its man page, gzipped without a name or time stamp (reproducible), that man
# formats without a warning under the program's own header and with the project's version.
for program in "$usr"/bin/*; do
    name=$(basename "$program")
    page=$usr/share/man/man1/$name.1.gz
    if [ ! -f "$page" ]; then
        fail "$name has no man page $page"
        continue
    fi
    gzip -t "$page" || fail "$page is not a gzip file"
    # Header bytes 3 (flags, bit 3 is a stored name) and 4-7 (time stamp) of RFC 1952.
    read -r flags stamp < <(od -An -j3 -N5 -tu1 "$page" |
                            awk '{print $1, $2 + $3 * 256 + $4 * 65536 + $5 * 16777216}')
    [ $((flags & 8)) = 0 ] && [ "$stamp" = 0 ] ||
        fail "$page stores a file name or time stamp (not gzip -n)"
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$work/man.out" 2>"$work/man.err" ||
        fail "man cannot format $page: $(cat "$work/man.err")"
    [ -s "$work/man.err" ] && fail "man warns about $page: $(cat "$work/man.err")"
    header=$(tr '[:lower:]' '[:upper:]' <<<"$name")
    grep -q "^$header(1)" "$work/man.out" || fail "the man page of $name has no $header(1) header"
    tail -n1 "$work/man.out" | grep -qF "nimbrel-utility $version" ||
        fail "the man page of $name does not name version $version: $(tail -n1 "$work/man.out")"
done

# The copyright file in Debian's machine-readable format, with the licence of the sources.
copyright=$usr/share/doc/nimbrel-utility/copyright
if [ -f "$copyright" ]; then
    head -n1 "$copyright" |
        grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
        fail "$copyright does not name the machine-readable copyright format"
    grep -qx 'License: MIT' "$copyright" || fail "$copyright does not give the MIT licence"
    holder=$(sed -n 's/^Copyright (c) //p' "$license")
    grep -qx "Copyright: $holder" "$copyright" ||
        fail "$copyright does not name the holder of LICENSE ('$holder')"
fi

finish "cmake --install: programs, desktop entry, AppStream metadata, icons, man pages, copyright"

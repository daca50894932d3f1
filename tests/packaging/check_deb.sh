#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package with CPack into a scratch directory, checks its control fields,
# contents, changelog and hardening, has lintian check it (no error and no warning), installs it with dpkg into a throw-away root (this machine's own package database is
# never touched), runs the installed programs from there (the window program without a display),
# and removes it again.
#
# Usage: check_deb.sh CPACK CPACK-CONFIG VERSION INSTALLED-FILES
# Exit status: 0 passed, 1 a check failed, 77 skipped (a tool is missing).
set -u

cpack=${1:?path to cpack}
config=${2:?CPackConfig.cmake of the build}
version=${3:?project version}
list=${4:?list of the installed files}
source "$(dirname "$0")/check_lib.sh"

need dpkg dpkg
need dpkg-deb dpkg
need dpkg-query dpkg
need dpkg-shlibdeps dpkg-dev
need file file
need readelf binutils
need ldd libc-bin
need dpkg-parsechangelog dpkg-dev
need lintian lintian
make_work

if ! "$cpack" --config "$config" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    fail "cpack -G DEB failed"
    finish "Debian package"
fi
# The package's version is the project's with a Debian revision: a package without one is a
# native package, whose changelog Debian names changelog.gz instead of changelog.Debian.gz.
arch=$(dpkg --print-architecture)
debs=("$work/out/nimbrel-utility_${version}-"*"_${arch}.deb")
deb=${debs[0]}
if [ ${#debs[@]} != 1 ] || [ ! -f "$deb" ]; then
    fail "cpack made no nimbrel-utility_${version}-REVISION_${arch}.deb; it made: $(ls "$work/out")"
    finish "Debian package"
fi
dpkg-deb -I "$deb"

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = nimbrel-utility ] || fail "Package is '$(field Package)'"
package_version=$(field Version)
revision=${package_version#"$version"-}
[ "$revision" != "$package_version" ] && [[ $revision =~ ^[0-9]+$ ]] ||
    fail "Version is '$package_version', not $version with a Debian revision"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)', not $arch"
[ "$(field Section)" = net ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(field Description | wc -l)" -ge 2 ] || fail "the Description has no long text"

# Depends: well-formed clauses, run-time libraries only, and every one of them met on this
# machine, which built the programs against those very libraries.
depends=$(field Depends)
[ -n "$depends" ] || fail "no Depends"
names=()
IFS=',' read -ra clauses <<<"$depends"
for clause in "${clauses[@]}"; do
    clause=$(echo "$clause" | sed 's/^ *//; s/ *$//')
    if ! [[ $clause =~ ^([a-z0-9][a-z0-9+.-]+)(\ \((<<|<=|=|>=|>>)\ ([^\)]+)\))?$ ]]; then
        fail "Depends clause '$clause' is not one package with an optional version"
        continue
    fi
    name=${BASH_REMATCH[1]} relation=${BASH_REMATCH[3]} wanted=${BASH_REMATCH[4]}
    names+=("$name")
    case $name in
        *-dev | nimbrel-utility) fail "Depends names '$name'" ;;
    esac
    installed=$(dpkg-query -W -f='${db:Status-Abbrev} ${Version}\n' "$name" 2>/dev/null |
                sed -n 's/^ii  *//p' | head -n1)
    if [ -z "$installed" ]; then
        fail "Depends names '$name', which is not installed here"
    elif [ -n "$relation" ] && ! dpkg --compare-versions "$installed" "$relation" "$wanted"; then
        fail "Depends wants $name ($relation $wanted); this machine has $installed"
    fi
done
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
    printf '%s\n' "${names[@]}" | grep -qx "$library" || fail "Depends lacks $library"
done

# Contents: exactly the installed files, under /usr, owned by root, with plain modes.
dpkg-deb -c "$deb" >"$work/contents"
awk '$1 !~ /^d/ {print $6}' "$work/contents" | sed 's|^\./usr/||' >"$work/found"
same_list "the package's files" "$list" "$work/found"
while read -r mode owner _ _ _ path _; do
    case $path in ./ | ./usr/*) ;; *) fail "the package holds $path, outside /usr" ;; esac
    [ "$owner" = root/root ] || fail "$path is owned by $owner"
    case $mode:$path in
        d*:* | -rwxr-xr-x:./usr/bin/?* | -rw-r--r--:*) ;;
        *) fail "$path has mode $mode" ;;
    esac
    case $mode:$path in -rw-r--r--:./usr/bin/*) fail "$path is not executable" ;; esac
done <"$work/contents"

# The changelog's latest entry is this very version of this package.
changelog=$work/changelog
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/nimbrel-utility/changelog.Debian.gz |
    gzip -dc >"$changelog" || fail "the package has no readable changelog.Debian.gz"
[ "$(dpkg-parsechangelog -l "$changelog" -S Source 2>&1)" = nimbrel-utility ] ||
    fail "the changelog is not nimbrel-utility's: $(head -n1 "$changelog")"
[ "$(dpkg-parsechangelog -l "$changelog" -S Version 2>&1)" = "$package_version" ] ||
    fail "the changelog's latest version is not $package_version: $(head -n1 "$changelog")"

# lintian: no error and no warning. The info tags that remain are shown; README.md says why
# each of them stays.
lintian --fail-on error,warning --display-info --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1
lintian_status=$?
cat "$work/lintian"
if [ "$lintian_status" != 0 ] || grep -q '^[EW]: ' "$work/lintian"; then
    fail "lintian reports errors or warnings (status $lintian_status)"
fi

# A throw-away root with an empty package database. --force-depends because the libraries are
# installed on this machine, not in that root; --path-include undoes any local dpkg exclusions
# (minimal images drop man pages) so that the package is installed whole.
root=$work/root
admin=$root/var/lib/dpkg
mkdir -p "$admin/info" "$admin/updates" "$admin/triggers"
touch "$admin/status" "$admin/available"
in_root() {
    env -u DPKG_ROOT -u DPKG_ADMINDIR PATH="$PATH:/usr/sbin:/sbin" dpkg --root="$root" \
        --admindir="$admin" --log="$work/dpkg.log" --force-not-root "$@" >>"$work/dpkg.out" 2>&1
}
if ! in_root --force-depends --path-include='*' -i "$deb"; then
    cat "$work/dpkg.out"
    fail "dpkg -i into the throw-away root failed"
    finish "Debian package"
fi
status=$(dpkg-query --admindir="$admin" -W -f='${Status}' nimbrel-utility)
[ "$status" = "install ok installed" ] || fail "the package's status is '$status'"
dpkg-query --admindir="$admin" -L nimbrel-utility | while read -r path; do
    [ -d "$root$path" ] || echo "${path#/usr/}"
done >"$work/listed"
same_list "the files that dpkg -L lists" "$list" "$work/listed"

check_icon_sizes "$root/usr/share"
for program in "$root"/usr/bin/*; do
    file -b "$program" | grep -q '^ELF .*, stripped' || fail "$program is not a stripped ELF program"
    if readelf -d "$program" | grep -q 'R\(UN\)\?PATH'; then
        fail "$program carries a library search path: $(readelf -d "$program" | grep PATH)"
    fi
    if ldd "$program" | grep -q 'not found'; then
        fail "$program misses libraries: $(ldd "$program" | grep 'not found')"
    fi
    # Hardening: a position-independent program, its relocations read-only after a start-up
    # that binds every symbol at once, and the stack protector's canary checks.
    readelf -h "$program" | grep -q 'Type: *DYN' || fail "$program is not position-independent"
    readelf -lW "$program" | grep -q GNU_RELRO || fail "$program has no read-only relocations"
    readelf -dW "$program" | grep -q 'FLAGS.*\bNOW\b' || fail "$program is not bound at start-up"
    readelf -sW --dyn-syms "$program" | grep -q '__stack_chk_fail' ||
        fail "$program has no stack protector"
done

for tool in nimbrel-discover nimbrel-devsim; do
    program=$root/usr/bin/$tool
    [ -x "$program" ] || continue
    "$program" --help >"$work/help" 2>&1 || fail "$tool --help ends with status $?"
    head -n1 "$work/help" | grep -q "^Usage: $tool" ||
        fail "$tool --help prints: $(head -n3 "$work/help")"
    "$program" --version 2>&1 | grep -qF "$version" || fail "$tool --version does not name $version"
done

# The installed window program, run with no display at all, must say so and end with status 1.
# That path ends before the program could search; all the same it is only run where the network
# is a private one (no interface but loopback, as under the test command's unshare -n).
program=$root/usr/bin/nimbrel-utility
interfaces=$(awk -F: 'NR > 2 { gsub(/ /, "", $1); print $1 }' /proc/net/dev)
if [ "$interfaces" != lo ]; then
    echo "NOTE: nimbrel-utility not run: this network namespace has more than loopback"
elif [ -x "$program" ]; then
    timeout 60 "$program" --version 2>&1 | grep -qF "$version" ||
        fail "nimbrel-utility --version does not name $version"
    timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" \
        >"$work/utility.out" 2>"$work/utility.err"
    status=$?
    [ "$status" = 1 ] || fail "nimbrel-utility without a display ends with status $status, not 1"
    grep -q nimbrel-discover "$work/utility.err" ||
        fail "nimbrel-utility without a display does not point to nimbrel-discover;" \
            "stderr: $(head -c 500 "$work/utility.err")"
else
    fail "the package installs no program nimbrel-utility that can be run"
fi

in_root -r nimbrel-utility || { cat "$work/dpkg.out"; fail "dpkg -r in the throw-away root failed"; }
left=$(cd "$root" && find . ! -path './var/*' ! -type d)
[ -z "$left" ] || fail "dpkg -r left: $left"

finish "Debian package: control fields, contents, install, programs, removal"

#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that the named jobs need, when they are missing.
# Usage: scripts/deps.sh build|test|windows|package ...
set -euo pipefail

packages=()
for job in "$@"; do
    case "$job" in
        build) packages+=(cmake ninja-build g++ qt6-base-dev libgl-dev libcli11-dev nlohmann-json3-dev
                          qt6-tools-dev qt6-l10n-tools qt6-translations-l10n fonts-dejavu-core
                          qt6-wayland) ;;
        test) packages+=(cmake ninja-build g++ clang libclang-rt-14-dev qt6-base-dev libgl-dev
                         qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
                         libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev iproute2 util-linux fonts-dejavu-core
                         xvfb xauth x11-utils make dpkg-dev dbus at-spi2-core python3-gi gir1.2-atspi-2.0
                         python3-pyatspi tcpdump clang-tidy python3) ;;
        # The window for Windows, when Qt for Windows is there (scripts/build-windows): its
        # installer and zip, and Xvfb and xdotool to run it under Wine.
        windows) packages+=(g++-mingw-w64-x86-64 wine wine64 googletest libcli11-dev nlohmann-json3-dev
                            nsis zip xvfb xauth xdotool) ;;
        package) packages+=(desktop-file-utils appstream dpkg-dev file man-db binutils lintian) ;;
        bench) packages+=(cmake ninja-build g++ qt6-base-dev libgl-dev libbenchmark-dev libcli11-dev
                          qt6-tools-dev qt6-l10n-tools
                          nlohmann-json3-dev jq xvfb xauth
                          x11-utils iproute2 util-linux fonts-dejavu-core
                          dbus at-spi2-core python3-gi gir1.2-atspi-2.0 python3-pyatspi) ;;
        *) echo "deps.sh: unknown job '$job'" >&2; exit 2 ;;
    esac
done

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" != 0 ]; then
    echo "deps.sh: missing packages: ${missing[*]}; install them as root" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

# SPDX-License-Identifier: MIT
# What makes up the Qt for Windows that scripts/build-windows builds, and the name of the cache
# folder that holds it. Sourced by scripts/build-windows and scripts/test-windows.sh, so that
# both find the same folder: the name carries a key of everything that goes into the build.
#
# NIMBREL_WINDOWS_CACHE  the folder holding the caches
#                        (default: ${XDG_CACHE_HOME:-$HOME/.cache}/nimbrel)

# The packages whose versions go into the key: Qt's host tools (whose version is also the source
# version fetched) and the cross compiler.
qt_windows_key_packages=(qt6-base-dev-tools qt6-base-dev g++-mingw-w64-x86-64-posix
                         gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
                         mingw-w64-x86-64-dev)

# Static, with the compiler's runtime linked in, so the programs need only Windows' own DLLs.
# Only QtCore, QtGui, QtWidgets and QtTest are wanted. The +dfsg tarball lacks the Wintab
# headers, hence no tablet events; Direct2D is off (see qt-patches/).
qt_windows_configure_options=(
    -release -static -static-runtime
    -xplatform win32-g++ -qt-host-path /usr
    -no-opengl -no-dbus -no-icu -no-freetype -no-fontconfig -no-libjpeg
    -no-feature-network -no-feature-sql -no-feature-xml -no-feature-printsupport
    -no-feature-concurrent -no-feature-vulkan -no-feature-direct2d -no-feature-tabletevent
    -feature-testlib
    -qt-harfbuzz -qt-pcre -qt-zlib -qt-libpng
    -nomake examples -nomake tests
)

# Options given to CMake after the configure options: Debian keeps the host Qt's CMake packages
# under the multiarch library folder.
qt_windows_cmake_options=(-DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)

# The Debian patches applied from the source package: its fix for CVE-2023-32763 (text layout).
qt_windows_debian_patches=(cve-2023-32763.diff)

# Prints "package=version" of each key package; fails naming the first one that is missing.
qt_windows_package_versions() {
    local package version
    for package in "${qt_windows_key_packages[@]}"; do
        version=$(dpkg-query -W -f='${Status} ${Version}' "$package" 2>/dev/null |
                  sed -n 's/^install ok installed //p')
        if [ -z "$version" ]; then
            echo "$package is not installed" >&2
            return 1
        fi
        echo "$package=$version"
    done
}

# Prints the key: a hash of the package versions, the patches, the configure options and Qt's
# toolchain file.
qt_windows_key() {
    local root=$1 versions
    versions=$(qt_windows_package_versions) || return 1
    {
        echo "$versions"
        printf '%s\n' "${qt_windows_configure_options[@]}" "${qt_windows_cmake_options[@]}" \
            "${qt_windows_debian_patches[@]}"
        cat "$root"/packaging/windows/qt-patches/*.patch "$root/scripts/windows/mingw-for-qt.cmake"
    } | sha256sum | cut -c1-16
}

# Prints the cache folder of this machine's packages (whether or not it has been built).
qt_windows_cache_dir() {
    local root=$1 key
    key=$(qt_windows_key "$root") || return 1
    echo "${NIMBREL_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/nimbrel}/qt-windows-$key"
}

# True when the cache folder holds a complete installation (the stamp is written last).
qt_windows_cache_complete() {
    [ -f "$1/nimbrel-qt-complete" ] && [ -f "$1/lib/cmake/Qt6/qt.toolchain.cmake" ]
}

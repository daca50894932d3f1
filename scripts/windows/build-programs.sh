#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The second step of scripts/build-windows: with Qt for Windows in NIMBREL_QT_WINDOWS_DIR, builds
# nimbrel-utility.exe and nimbrel-discover.exe (stripped), then the NSIS installer and the zip,
# both named with the version, into <build folder>/dist.
#
# NIMBREL_QT_WINDOWS_DIR     Qt for Windows (the cache folder of scripts/build-windows)
# NIMBREL_WINDOWS_BUILD_DIR  the build folder (default: build-windows)
# NIMBREL_WINDOWS_TESTS      test programs to build as well (the test command's window checks),
#                            with BUILD_TESTING on; none by default
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
qt=${NIMBREL_QT_WINDOWS_DIR:?the Qt for Windows folder}
build=${NIMBREL_WINDOWS_BUILD_DIR:-$root/build-windows}
SECONDS=${NIMBREL_BUILD_STARTED:-0}
read -ra tests <<<"${NIMBREL_WINDOWS_TESTS:-}"
testing=OFF
[ ${#tests[@]} = 0 ] || testing=ON

say() { printf '[build-windows %02d:%02d] %s\n' $((SECONDS / 60)) $((SECONDS % 60)) "$*"; }
die() { echo "build-windows: $*" >&2; exit 1; }

qt_source_version=$(sed -n 's/^qt6-base-dev-tools=//p' "$qt/nimbrel-qt-packages.txt")
mkdir -p "$build"
say "building the Windows programs in $build/programs"
# Qt's toolchain file sets up Qt and hands the compiler over to the project's own one.
cmake -S "$root" -B "$build/programs" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DNIMBREL_BUILD_GUI=ON -DBUILD_TESTING=$testing -DNIMBREL_WERROR=ON \
    -DNIMBREL_QT_VERSION="${qt_source_version:-unknown}" > "$build/programs-configure.log" ||
    { cat "$build/programs-configure.log"; die "configuring the Windows programs failed"; }
# What is installed, and the tests asked for.
cmake --build "$build/programs" --target nimbrel-utility nimbrel-discover nimbrel-devsim \
    "${tests[@]}"
rm -rf "$build/stage"
cmake --install "$build/programs" --strip --prefix "$build/stage" > /dev/null

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/programs/CMakeCache.txt")
name=nimbrel-utility-$version-windows-x64
files=(nimbrel-utility.exe nimbrel-discover.exe LICENSE.txt LGPL-3.0.txt GPL-3.0.txt RELINKING.txt
       Qt-COPYRIGHT.txt)
dist=$build/dist
rm -rf "$dist"
mkdir -p "$dist/$name"
for file in "${files[@]}"; do
    cp "$build/stage/bin/$file" "$dist/$name/"
done

# Nothing but Windows' own DLLs may be needed: the programs are linked statically.
for program in nimbrel-utility.exe nimbrel-discover.exe; do
    dlls=$(x86_64-w64-mingw32-objdump -p "$dist/$name/$program" |
           sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
    say "$program imports $dlls"
    for dll in $dlls; do
        case "$dll" in
            kernel32.dll | user32.dll | gdi32.dll | shell32.dll | ole32.dll | oleaut32.dll | \
            advapi32.dll | ws2_32.dll | iphlpapi.dll | comdlg32.dll | imm32.dll | winmm.dll | \
            uxtheme.dll | dwmapi.dll | shcore.dll | version.dll | netapi32.dll | userenv.dll | \
            uuid.dll | mpr.dll | wtsapi32.dll | setupapi.dll | d3d9.dll | d3d11.dll | dxgi.dll | \
            shlwapi.dll | \
            dwrite.dll | authz.dll | comctl32.dll | msvcrt.dll | api-ms-win-*.dll) ;;
            *) die "$program needs $dll, which Windows does not bring" ;;
        esac
    done
done

say "packing $name.zip"
(cd "$dist" && rm -f "$name.zip" && zip -q -X -r "$name.zip" "$name")

say "making the installer $name-setup.exe"
makensis -V2 -DVERSION="$version" -DSTAGE="$dist/$name" \
    -DLICENCE_PAGE="$build/programs/packaging/windows/licence-page.txt" \
    -DICON="$root/packaging/windows/nimbrel-utility.ico" \
    -DOUTFILE="$dist/$name-setup.exe" "$root/packaging/windows/installer.nsi" \
    > "$build/installer.log" 2>&1 ||
    { cat "$build/installer.log"; die "makensis failed"; }
rm -rf "${dist:?}/$name"

say "done:"
for file in "$dist"/*; do
    echo "    $file ($(du -h "$file" | cut -f1))"
done

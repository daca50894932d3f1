# SPDX-License-Identifier: MIT
# The toolchain that Qt for Windows is built with (scripts/build-windows): Debian's mingw-w64 g++
# of the posix thread flavour, which has std::thread and std::mutex. Kept apart from the
# project's own toolchain file so that changing that one does not invalidate the Qt cache. (Qt
# refuses a toolchain file whose name matches qt.toolchain.cmake, its own.)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# SPDX-License-Identifier: MIT
# Cross-builds for s390x, a big-endian Linux, against an unpacked Debian
# root (DUELSTAR_SYSROOT, made by make-sysroot.sh), and runs what it builds
# under qemu-user in that root.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(CMAKE_LIBRARY_ARCHITECTURE s390x-linux-gnu)
set(CMAKE_CXX_COMPILER s390x-linux-gnu-g++)

# CMake's own trial builds read this file again and need the root too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES DUELSTAR_SYSROOT)
if(NOT DUELSTAR_SYSROOT)
  message(FATAL_ERROR "Set DUELSTAR_SYSROOT to the unpacked s390x root")
endif()
set(CMAKE_SYSROOT ${DUELSTAR_SYSROOT})
set(CMAKE_FIND_ROOT_PATH ${DUELSTAR_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The root's libraries name each other by their installed paths, which the
# linker finds only through rpath-link.
set(_lib ${DUELSTAR_SYSROOT}/usr/lib/s390x-linux-gnu)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-L${_lib} -Wl,-rpath-link,${_lib}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-L${_lib} -Wl,-rpath-link,${_lib}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-L${_lib} -Wl,-rpath-link,${_lib}")

# pkg-config reads the root's .pc files and prefixes their paths with it.
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${DUELSTAR_SYSROOT})
set(ENV{PKG_CONFIG_LIBDIR} "${_lib}/pkgconfig:${DUELSTAR_SYSROOT}/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# Every test and test discovery runs its program through qemu-user, with the
# root's loader and libraries (see qemu-run.sh for what it hands the program).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/qemu-run.sh ${DUELSTAR_SYSROOT})

# SPDX-License-Identifier: MIT
# Cross-build for 64-bit ARM Linux with Debian's g++-aarch64-linux-gnu. The
# programs are linked statically and run under qemu-aarch64 (qemu-user), so
# that ctest can run the tests on an x86-64 machine.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(KOLVANE_AARCH64_PREFIX aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${KOLVANE_AARCH64_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${KOLVANE_AARCH64_PREFIX}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${KOLVANE_AARCH64_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Every test program runs through the emulator. -L: the ARM64 C library's
# own files (the user database's modules, which even a static program loads
# at run time) come from the cross compiler's folder.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/${KOLVANE_AARCH64_PREFIX})

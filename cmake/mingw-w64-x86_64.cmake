# Cross-build for 64-bit Windows with Debian's mingw-w64 (the POSIX thread
# model, whose C++ library has std::thread and friends).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KOLVANE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KOLVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KOLVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KOLVANE_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${KOLVANE_MINGW_PREFIX}-objdump)
set(CMAKE_STRIP ${KOLVANE_MINGW_PREFIX}-strip)

set(CMAKE_FIND_ROOT_PATH /usr/${KOLVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program is one self-contained file: the C++ runtime, libgcc and
# winpthread are linked in, so a copied .exe needs only the system's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")


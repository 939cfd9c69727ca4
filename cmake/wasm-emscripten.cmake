# SPDX-License-Identifier: MIT
# WebAssembly for Node with Debian's emscripten. The programs run under node
# as command-line programs of this system: node's own file system calls
# (NODERAWFS) give them the real files and standard streams, and they see the
# process's environment; the test programs run under node through
# CMAKE_CROSSCOMPILING_EMULATOR.
#
# Node 18 and later have a global fetch, which emscripten 3.1.6's loader
# then tries on the .wasm file's path and fails; without it the loader reads
# the file. At -O1 and above the link runs emscripten's JavaScript optimiser,
# which needs NODE_PATH=/usr/share/nodejs (Debian's node-acorn) in the build's
# environment: the wasm preset sets it.
find_program(KOLVANE_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KOLVANE_NODE} --no-experimental-fetch)

include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# The programs' platform layer is the one of the system node runs on.
set(KOLVANE_UNDER_NODE ON)

# C++ exceptions are caught, as on every other target: emscripten leaves
# catching off unless asked, and kolvane-calc's command line (CLI11) answers
# --help, --version and a bad value by throwing.
set(CMAKE_CXX_FLAGS_INIT "-fexceptions")
# The exit code of main must reach the shell (and ctest), and its output must
# be flushed: the runtime shuts down when main returns.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-fexceptions -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1 -sNODERAWFS=1 --pre-js ${CMAKE_CURRENT_LIST_DIR}/node-environment.js"
)

# SPDX-License-Identifier: MIT
# The header-only packages: CLI11 and nlohmann-json for kolvane-calc, fmt and
# fast_float for the number text of settings/DecimalText.cpp (the one number
# text of every build: emscripten's C++ library has no floating-point
# to_chars or from_chars). Being header-only, the host's packages serve a
# cross build as well. Their package files would add the host's whole
# /usr/include, whose C library headers must never reach a cross compiler
# (mingw-w64's, the ARM64 one's, emscripten's, which does not search it at
# all); a cross build instead sees a folder that links to the packages' own
# header folders and nothing else.
if(NOT CMAKE_CROSSCOMPILING)
  find_package(CLI11 REQUIRED)
  find_package(nlohmann_json REQUIRED)
  find_package(fmt REQUIRED)
  find_package(FastFloat REQUIRED)
  return()
endif()

set(KOLVANE_HOST_INCLUDE /usr/include CACHE PATH "Where the header-only packages are installed")
set(headers ${CMAKE_BINARY_DIR}/header-only)
file(MAKE_DIRECTORY ${headers})
# kolvane_header_only(<target> <folder under the host include> <header to check>)
function(kolvane_header_only target folder header)
  if(NOT EXISTS ${KOLVANE_HOST_INCLUDE}/${folder}/${header})
    message(FATAL_ERROR "${KOLVANE_HOST_INCLUDE}/${folder}/${header} is missing: "
                        "bash scripts/setup-debian.sh installs it")
  endif()
  file(CREATE_LINK ${KOLVANE_HOST_INCLUDE}/${folder} ${headers}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  # SYSTEM, as the package files make it: their warnings are not ours.
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${headers}
                                             INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${headers})
endfunction()

if(NOT TARGET CLI11::CLI11)
  kolvane_header_only(CLI11::CLI11 CLI CLI.hpp)
endif()
if(NOT TARGET nlohmann_json::nlohmann_json)
  kolvane_header_only(nlohmann_json::nlohmann_json nlohmann json.hpp)
endif()
if(NOT TARGET fmt::fmt-header-only)
  kolvane_header_only(fmt::fmt-header-only fmt format.h)
  # What fmt's own package file gives its header-only target.
  set_target_properties(fmt::fmt-header-only PROPERTIES INTERFACE_COMPILE_DEFINITIONS
                                                        FMT_HEADER_ONLY=1)
endif()
if(NOT TARGET FastFloat::fast_float)
  kolvane_header_only(FastFloat::fast_float fast_float fast_float.h)
endif()

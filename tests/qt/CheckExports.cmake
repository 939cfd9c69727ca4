# SPDX-License-Identifier: MIT
# Compares the demangled names of the program's defined dynamic symbols with
# the expected list (one name a line; lines starting with # are comments). Usage:
#   cmake -DPROGRAM=<file> -DEXPECTED=<file> -P CheckExports.cmake
#
# Symbols with a version ("name@GLIBCXX_3.4") are the C++ library's own
# objects (a vtable, a typeinfo) that the program holds by copy relocation,
# and under the sanitizer presets the same goes for the sanitizer runtime's
# variables (__asan_..., __ubsan_...): they are those libraries' exports, not
# the program's, and are left out.
execute_process(COMMAND nm -DC --defined-only ${PROGRAM}
                OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${PROGRAM}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(names)
foreach(line IN LISTS lines)
  # "<address> <type> <name>": the name may contain blanks.
  if(line MATCHES "^[0-9a-fA-F]+ [A-Za-z] (.+)$")
    set(name "${CMAKE_MATCH_1}")
    if(NOT name MATCHES "@" AND NOT name MATCHES "^__(a|ub|l|t|m)san_")
      list(APPEND names "${name}")
    endif()
  endif()
endforeach()
list(REMOVE_DUPLICATES names)
list(SORT names)
file(STRINGS ${EXPECTED} expected REGEX "^[^#]")
list(SORT expected)
if(NOT names STREQUAL expected)
  string(REPLACE ";" "\n  " got "${names}")
  string(REPLACE ";" "\n  " want "${expected}")
  message(FATAL_ERROR "exported names differ\nexported:\n  ${got}\nexpected:\n  ${want}")
endif()
message(STATUS "exports: ${names}")

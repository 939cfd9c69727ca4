# SPDX-License-Identifier: MIT
# Compares the program's defined dynamic symbols with the list of exports
# (settings/exports.txt: a mangled name and a C++ name a line; lines starting
# with # are comments): their demangled names are exactly the C++ names, and
# each listed mangled name is among them, so that the two columns of the list
# agree. (A C++ name in the version script also exports the constructor's
# second, base-object copy, which has the same demangled name.) Usage:
#   cmake -DPROGRAM=<file> -DEXPORTS=<file> -P CheckExports.cmake
#
# Symbols with a version ("name@GLIBCXX_3.4") are the C++ library's own
# objects (a vtable, a typeinfo) that the program holds by copy relocation,
# and under the sanitizer presets the same goes for the sanitizer runtime's
# variables (__asan_..., __ubsan_...): they are those libraries' exports, not
# the program's, and are left out.
cmake_minimum_required(VERSION 3.25)

# The program's own exported names, sorted; demangle: nm's -C.
function(exported_names out demangle)
  execute_process(COMMAND nm -D ${demangle} --defined-only ${PROGRAM}
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
  set(${out} "${names}" PARENT_SCOPE)
endfunction()

file(STRINGS ${EXPORTS} lines REGEX "^[^#]")
set(mangled)
set(cxx)
foreach(line IN LISTS lines)
  if(line MATCHES "^([^ ]+) +(.+)$")
    list(APPEND mangled ${CMAKE_MATCH_1})
    list(APPEND cxx "${CMAKE_MATCH_2}")
  endif()
endforeach()

exported_names(got_cxx -C)
list(SORT cxx)
if(NOT got_cxx STREQUAL cxx)
  string(REPLACE ";" "\n  " got_lines "${got_cxx}")
  string(REPLACE ";" "\n  " want_lines "${cxx}")
  message(FATAL_ERROR "exported names differ\nexported:\n  ${got_lines}\nexpected:\n  ${want_lines}")
endif()
exported_names(got_mangled "")
foreach(name IN LISTS mangled)
  if(NOT name IN_LIST got_mangled)
    string(REPLACE ";" "\n  " got_lines "${got_mangled}")
    message(FATAL_ERROR "${name} is listed but not exported; exported:\n  ${got_lines}")
  endif()
endforeach()
message(STATUS "exports: ${got_cxx}")

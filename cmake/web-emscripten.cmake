# SPDX-License-Identifier: MIT
# The browser page with Debian's emscripten (the web preset). The page's own
# link options are with it, in ui/web/CMakeLists.txt; the one helper program
# of its tests (the story table) runs under node.
#
# C++ exceptions are not caught in the page, as emscripten leaves it unless
# asked: no handler of the window's throws in the browser (there is no
# registry value of a wrong type), and catching would put a call out to
# JavaScript around every call inside a try block. A throw would end the
# module, which the page then says in its bar.
find_program(KOLVANE_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KOLVANE_NODE} --no-experimental-fetch)

include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# fmt's numbers in the user's locale ("{:L}"), which no number of ours asks
# for, would bring the C++ library's whole locale machinery (every facet of
# std::locale, iostreams' number parsing among them) into the page: a fixed
# separator keeps it out.
# (44 is ','.)
set(CMAKE_CXX_FLAGS_INIT "-DFMT_STATIC_THOUSANDS_SEPARATOR=44")

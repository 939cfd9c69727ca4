# SPDX-License-Identifier: MIT
# The version has one source, the project version; CHANGELOG.md has the date
# and the notes of every release. From both come what the installed files
# say about the release:
#   KOLVANE_RELEASE_DATE       the date of this version's entry (YYYY-MM-DD),
#                              for the manual pages
#   KOLVANE_APPSTREAM_RELEASES the <release> elements of the AppStream
#                              metadata, newest first, one per released entry
#   KOLVANE_VERSION_COMMAS, KOLVANE_VERSION_DOTS
#                              the version in Windows' four numbers
# A version without an entry in CHANGELOG.md stops the configuration: a
# release without notes would otherwise go out unnoticed.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md)

# The text goes into XML, so its three special characters are escaped first.
# ";" and the square brackets would split or join CMake's list elements: they
# pass through the lists as words of their own and come back at the end.
file(READ ${PROJECT_SOURCE_DIR}/CHANGELOG.md changelog ENCODING UTF-8)
string(REPLACE "&" "&amp;" changelog "${changelog}")
string(REPLACE "<" "&lt;" changelog "${changelog}")
string(REPLACE ">" "&gt;" changelog "${changelog}")
string(REPLACE ";" "{{semicolon}}" changelog "${changelog}")
string(REPLACE "[" "{{open}}" changelog "${changelog}")
string(REPLACE "]" "{{close}}" changelog "${changelog}")
string(REPLACE "\r" "" changelog "${changelog}")
string(REPLACE "\n" ";" changelog_lines "${changelog}")

# An entry's body: prose lines become paragraphs, "- " lines list items
# (indented lines continue the line before), "###" headings are dropped.
set(KOLVANE_APPSTREAM_RELEASES "")
set(KOLVANE_RELEASE_DATE "")
set(in_release FALSE)
set(blocks "")     # finished <p> and <li> blocks of the current release
set(pending "")    # the paragraph or item being read
set(pending_kind "")

macro(kolvane_flush_pending)
  if(NOT pending STREQUAL "")
    if(pending_kind STREQUAL "item")
      string(APPEND blocks "ITEM${pending}\n")
    else()
      string(APPEND blocks "PARA${pending}\n")
    endif()
  endif()
  set(pending "")
  set(pending_kind "")
endmacro()

macro(kolvane_finish_release)
  if(in_release)
    kolvane_flush_pending()
    set(body "")
    set(in_list FALSE)
    string(REPLACE "\n" ";" block_list "${blocks}")
    foreach(block IN LISTS block_list)
      if(block MATCHES "^ITEM(.*)$")
        if(NOT in_list)
          string(APPEND body "        <ul>\n")
          set(in_list TRUE)
        endif()
        string(APPEND body "          <li>${CMAKE_MATCH_1}</li>\n")
      elseif(block MATCHES "^PARA(.*)$")
        if(in_list)
          string(APPEND body "        </ul>\n")
          set(in_list FALSE)
        endif()
        string(APPEND body "        <p>${CMAKE_MATCH_1}</p>\n")
      endif()
    endforeach()
    if(in_list)
      string(APPEND body "        </ul>\n")
    endif()
    string(APPEND KOLVANE_APPSTREAM_RELEASES
           "    <release version=\"${release_version}\" date=\"${release_date}\">\n")
    if(NOT body STREQUAL "")
      string(APPEND KOLVANE_APPSTREAM_RELEASES
             "      <description>\n${body}      </description>\n")
    endif()
    string(APPEND KOLVANE_APPSTREAM_RELEASES "    </release>\n")
  endif()
  set(in_release FALSE)
  set(blocks "")
endmacro()

foreach(line IN LISTS changelog_lines)
  if(line MATCHES "^## {{open}}([0-9][0-9.]*){{close}} - ([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])")
    # Taken before the macro, whose own matches overwrite CMAKE_MATCH_<n>.
    set(next_version ${CMAKE_MATCH_1})
    set(next_date ${CMAKE_MATCH_2})
    kolvane_finish_release()
    set(release_version ${next_version})
    set(release_date ${next_date})
    set(in_release TRUE)
    if(release_version STREQUAL PROJECT_VERSION)
      set(KOLVANE_RELEASE_DATE ${release_date})
    endif()
  elseif(line MATCHES "^## ")
    # [Unreleased] and anything else without a version and a date.
    kolvane_finish_release()
  elseif(NOT in_release OR line MATCHES "^###")
    kolvane_flush_pending()
  elseif(line MATCHES "^- (.*)$")
    kolvane_flush_pending()
    set(pending "${CMAKE_MATCH_1}")
    set(pending_kind "item")
  elseif(line MATCHES "^[ \t]*$")
    kolvane_flush_pending()
  else()
    string(STRIP "${line}" text)
    if(pending STREQUAL "")
      set(pending "${text}")
      set(pending_kind "paragraph")
    else()
      string(APPEND pending " ${text}")
    endif()
  endif()
endforeach()
kolvane_finish_release()
string(REPLACE "{{semicolon}}" ";" KOLVANE_APPSTREAM_RELEASES "${KOLVANE_APPSTREAM_RELEASES}")
string(REPLACE "{{open}}" "[" KOLVANE_APPSTREAM_RELEASES "${KOLVANE_APPSTREAM_RELEASES}")
string(REPLACE "{{close}}" "]" KOLVANE_APPSTREAM_RELEASES "${KOLVANE_APPSTREAM_RELEASES}")

if(KOLVANE_RELEASE_DATE STREQUAL "")
  message(FATAL_ERROR "CHANGELOG.md has no entry \"## [${PROJECT_VERSION}] - YYYY-MM-DD\" for "
                      "the project version ${PROJECT_VERSION}: add its notes there first.")
endif()

# Windows wants four numbers: 1.43 is 1,43,0,0 in a version resource and
# 1.43.0.0 in a manifest.
set(version_numbers ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR})
foreach(part PROJECT_VERSION_PATCH PROJECT_VERSION_TWEAK)
  if("${${part}}" STREQUAL "")
    list(APPEND version_numbers 0)
  else()
    list(APPEND version_numbers ${${part}})
  endif()
endforeach()
list(JOIN version_numbers "," KOLVANE_VERSION_COMMAS)
list(JOIN version_numbers "." KOLVANE_VERSION_DOTS)

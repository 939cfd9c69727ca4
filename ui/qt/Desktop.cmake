# SPDX-License-Identifier: MIT
# What a Linux desktop and a distribution need beside the program, under the
# one application id: the icon in every hicolor size, drawn from the one SVG
# at build time, the window's own copies of it, the desktop entry, the
# AppStream metadata, the manual page and the licence.
set(KOLVANE_APP_ID org.kolvane.Kolvane)
set(KOLVANE_ICON_SVG ${CMAKE_CURRENT_SOURCE_DIR}/resources/${KOLVANE_APP_ID}.svg)
# Also read by the tests, which compare the window icon with these pictures.
set(KOLVANE_ICON_DIR ${CMAKE_CURRENT_BINARY_DIR}/icons CACHE INTERNAL "The drawn icons")
set(KOLVANE_ICON_SIZES 16 24 32 48 64 128 256)
# The window takes its icon from bitmaps with alpha: decoding a PNG would
# bring the PNG decoder's and zlib's code into every start. 32 pixels and
# 64 for a screen at double density.
set(KOLVANE_WINDOW_ICON_SIZES 32 64)

find_program(KOLVANE_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(KOLVANE_IMAGEMAGICK_CONVERT convert REQUIRED)

set(icon_files "")
foreach(size IN LISTS KOLVANE_ICON_SIZES)
  set(folder ${KOLVANE_ICON_DIR}/hicolor/${size}x${size}/apps)
  set(png ${folder}/${KOLVANE_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${KOLVANE_RSVG_CONVERT} --width ${size} --height ${size} --output ${png}
            ${KOLVANE_ICON_SVG}
    DEPENDS ${KOLVANE_ICON_SVG}
    COMMENT "Drawing the ${size} pixel icon" VERBATIM)
  list(APPEND icon_files ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          COMPONENT kolvane)
endforeach()

set(KOLVANE_WINDOW_ICONS "")
foreach(size IN LISTS KOLVANE_WINDOW_ICON_SIZES)
  set(png ${KOLVANE_ICON_DIR}/hicolor/${size}x${size}/apps/${KOLVANE_APP_ID}.png)
  set(bmp ${KOLVANE_ICON_DIR}/kolvane-${size}.bmp)
  # A BMP with an alpha channel (a version 4 or 5 header with bit fields).
  add_custom_command(OUTPUT ${bmp}
    COMMAND ${KOLVANE_IMAGEMAGICK_CONVERT} ${png} -define bmp:format=bmp4 BMP:${bmp}
    DEPENDS ${png}
    COMMENT "Making the ${size} pixel window icon" VERBATIM)
  list(APPEND KOLVANE_WINDOW_ICONS ${bmp})
endforeach()
add_custom_target(kolvane_icons ALL DEPENDS ${icon_files} ${KOLVANE_WINDOW_ICONS})

install(FILES ${KOLVANE_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        COMPONENT kolvane)
install(FILES ${KOLVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT kolvane)
# The version, the release date and the release notes come from the project
# version and CHANGELOG.md (cmake/ReleaseNotes.cmake).
configure_file(${KOLVANE_APP_ID}.metainfo.xml.in ${KOLVANE_APP_ID}.metainfo.xml @ONLY)
configure_file(kolvane.1.in kolvane.1 @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${KOLVANE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT kolvane)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kolvane.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT kolvane)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/CHANGELOG.md
              ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kolvane COMPONENT kolvane)

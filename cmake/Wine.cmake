# SPDX-License-Identifier: MIT
# Runs the cross-built Windows programs under Wine, in a private prefix that
# belongs to this build folder: made once by the build, so that tests neither
# touch the user's own ~/.wine nor pay for a new prefix each.
find_program(KOLVANE_WINE NAMES wine wine64 REQUIRED)
find_program(KOLVANE_WINESERVER NAMES wineserver wineserver64 REQUIRED
             PATHS /usr/lib/wine)

set(KOLVANE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
# Gecko and Mono are left out: the programs need neither, and asking for them
# opens download dialogs in a fresh prefix.
set(KOLVANE_WINE_ENV WINEPREFIX=${KOLVANE_WINEPREFIX} WINEARCH=win64 WINEDEBUG=-all
                     "WINEDLLOVERRIDES=mscoree,mshtml=")

# One command that runs a Windows program in the private prefix; the tests
# and the scripts use it as the emulator.
set(KOLVANE_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
string(JOIN " " env_words ${KOLVANE_WINE_ENV})
file(CONFIGURE OUTPUT ${KOLVANE_WINE_RUN} @ONLY CONTENT "#!/bin/sh
# Runs a Windows program of this build under Wine in the build's own prefix.
export WINEPREFIX='${KOLVANE_WINEPREFIX}' WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
exec '${KOLVANE_WINE}' \"$@\"
")
file(CHMOD ${KOLVANE_WINE_RUN} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
     GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KOLVANE_WINE_RUN})

add_custom_command(
  OUTPUT ${KOLVANE_WINEPREFIX}/system.reg
  COMMAND ${CMAKE_COMMAND} -E env ${KOLVANE_WINE_ENV} wineboot -i
  # wineboot returns before the registry is written to disk.
  COMMAND ${CMAKE_COMMAND} -E env ${KOLVANE_WINE_ENV} ${KOLVANE_WINESERVER} -w
  COMMENT "Making the private Wine prefix"
  VERBATIM)
# Wine's own colour scheme draws the info colour (tooltips, the window's
# result panels) white; the prefix takes Windows' light yellow, so that tests
# and pictures show what a Windows PC shows.
set(KOLVANE_WINE_COLOURS ${KOLVANE_WINEPREFIX}/kolvane-colours.stamp)
add_custom_command(
  OUTPUT ${KOLVANE_WINE_COLOURS}
  COMMAND ${CMAKE_COMMAND} -E env ${KOLVANE_WINE_ENV} ${KOLVANE_WINE} reg add
          "HKCU\\Control Panel\\Colors" /v InfoWindow /t REG_SZ /d "255 255 225" /f
  COMMAND ${CMAKE_COMMAND} -E env ${KOLVANE_WINE_ENV} ${KOLVANE_WINESERVER} -w
  COMMAND ${CMAKE_COMMAND} -E touch ${KOLVANE_WINE_COLOURS}
  DEPENDS ${KOLVANE_WINEPREFIX}/system.reg
  COMMENT "Giving the Wine prefix Windows' info colour"
  VERBATIM)
add_custom_target(wineprefix ALL DEPENDS ${KOLVANE_WINEPREFIX}/system.reg ${KOLVANE_WINE_COLOURS})

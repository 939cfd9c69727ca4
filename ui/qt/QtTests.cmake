# SPDX-License-Identifier: MIT
# The Qt front end's tests; included from tests/CMakeLists.txt, where testing
# is enabled, when the Qt front end is built.
find_package(Qt6 REQUIRED COMPONENTS Test)
find_package(X11 REQUIRED)

# The window through the real widgets, on Qt's offscreen platform. The test
# program itself runs under a German locale (numbers must still show ".").
add_executable(qt_test ${CMAKE_CURRENT_LIST_DIR}/../../tests/qt_test.cpp)
target_link_libraries(qt_test PRIVATE ui_qt test_support Qt6::Test GTest::gtest GTest::gmock)
target_compile_definitions(qt_test PRIVATE KOLVANE_ICON_DIR="${KOLVANE_ICON_DIR}")
add_dependencies(qt_test kolvane_icons)
gtest_discover_tests(qt_test DISCOVERY_MODE PRE_TEST
  PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

# The program's dynamic symbol table holds exactly the builders.
add_test(NAME kolvane_exports
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:kolvane>
          -DEXPECTED=${CMAKE_CURRENT_LIST_DIR}/exports.txt
          -P ${CMAKE_CURRENT_LIST_DIR}/testing/CheckExports.cmake)

# An install into a temporary prefix: the files land in their places, and
# the installed program reads its fallback settings beside itself.
add_executable(close_window ${CMAKE_CURRENT_LIST_DIR}/testing/close_window.cpp)
target_link_libraries(close_window PRIVATE X11::X11)
add_test(NAME kolvane_install
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/testing/install_test.sh
          ${CMAKE_BINARY_DIR} $<TARGET_FILE:close_window> ${PROJECT_SOURCE_DIR})

# --help, -h and --version without a display or a Qt platform; one line and
# exit code 1 when no display can be opened.
add_test(NAME kolvane_command_line
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/testing/command_line_test.sh $<TARGET_FILE:kolvane>
          ${PROJECT_VERSION})

# What a screen reader finds over AT-SPI: the boxes named by their labels in
# both languages, results with their values and limits, the logos. Inside
# its own X display and D-Bus session, driven with xdotool.
add_test(NAME kolvane_accessibility
  COMMAND ${CMAKE_COMMAND} -E env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
          bash ${CMAKE_CURRENT_LIST_DIR}/testing/in_display.sh --dbus /usr/bin/python3
          ${CMAKE_CURRENT_LIST_DIR}/testing/accessibility_test.py $<TARGET_FILE:kolvane>)
set_tests_properties(kolvane_accessibility PROPERTIES TIMEOUT 180)
# Both start an X server of their own; run one at a time, so that neither
# meets the other's server starting or going away.
set_tests_properties(kolvane_install kolvane_accessibility PROPERTIES RESOURCE_LOCK x_server)

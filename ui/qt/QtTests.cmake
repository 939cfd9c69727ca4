# The Qt front end's tests; included from tests/CMakeLists.txt, where testing
# is enabled, when the Qt front end is built.
find_package(Qt6 REQUIRED COMPONENTS Test)
find_package(X11 REQUIRED)

# The window through the real widgets, on Qt's offscreen platform. The test
# program itself runs under a German locale (numbers must still show ".").
add_executable(qt_test ${CMAKE_CURRENT_LIST_DIR}/../../tests/qt_test.cpp)
target_link_libraries(qt_test PRIVATE ui_qt test_support Qt6::Test GTest::gtest GTest::gmock)
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
          ${CMAKE_BINARY_DIR} $<TARGET_FILE:close_window>)

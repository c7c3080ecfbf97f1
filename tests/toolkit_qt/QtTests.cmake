# kelpmere_qt_test(<name> SOURCES <files...> LIBS <targets...>): a test executable on Qt's
# offscreen platform, so it needs no display. Web views run without Chromium's sandbox (the
# tests may run as root) and without a GPU.
function(kelpmere_qt_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  find_package(Qt6 REQUIRED COMPONENTS Widgets Test WebEngineWidgets)
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} kelpmere_toolkit_qt Qt6::Widgets Qt6::Test Qt6::WebEngineWidgets
    GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  kelpmere_warnings(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 30
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    PROPERTIES
      TIMEOUT 120
      ENVIRONMENT "KELPMERE_SOURCE_DIR=${CMAKE_SOURCE_DIR};KELPMERE_BINARY_DIR=${CMAKE_BINARY_DIR};QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox --disable-gpu")
endfunction()

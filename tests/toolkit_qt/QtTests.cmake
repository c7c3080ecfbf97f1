# kelpmere_qt_test(<name> SOURCES <files...> LIBS <targets...>): a test executable on Qt's
# offscreen platform, so it needs no display. Each test program sets QT_QPA_PLATFORM=offscreen,
# QTWEBENGINE_DISABLE_SANDBOX=1 (tests may run as root) and --disable-gpu for itself before Qt
# starts; the folders come in as KELPMERE_TEST_SOURCE_DIR / KELPMERE_TEST_BINARY_DIR.
function(kelpmere_qt_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  find_package(Qt6 REQUIRED COMPONENTS Widgets Test WebEngineWidgets)
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} kelpmere_toolkit_qt Qt6::Widgets Qt6::Test Qt6::WebEngineWidgets
    GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    KELPMERE_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KELPMERE_TEST_BINARY_DIR="${CMAKE_BINARY_DIR}")
  kelpmere_warnings(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    PROPERTIES TIMEOUT 120 ENVIRONMENT ${KELPMERE_TEST_ENVIRONMENT})
endfunction()

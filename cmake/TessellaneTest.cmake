# tess_add_test(<name> SOURCES <files...> LIBS <targets...> [QT])
# Adds a GoogleTest executable whose cases CTest lists one by one. QT tests get
# a main that creates a QApplication and run on the offscreen platform.
include(GoogleTest)
find_package(GTest REQUIRED)

function(tess_add_test name)
  cmake_parse_arguments(T "QT" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_QT)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/QtTestMain.cpp)
    target_link_libraries(${name} PRIVATE Qt6::Widgets Qt6::Test GTest::gtest)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS})
  target_compile_definitions(${name} PRIVATE
    TESS_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    TESS_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
    TESS_SHARED_DIR="${PROJECT_SOURCE_DIR}/../shared")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

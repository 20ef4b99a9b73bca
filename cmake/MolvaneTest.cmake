# molvane_test(<name> SOURCES ... LIBS ...): one GoogleTest program registered with CTest.
include(GoogleTest)
function(molvane_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    MOLVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    MOLVANE_BINARY_DIR="${PROJECT_BINARY_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/tests PROPERTIES TIMEOUT 300)
endfunction()

# molvane_folder_tests(<folder> LIBS ...): every *.cpp of tests/<folder> as one program <folder>_tests.
function(molvane_folder_tests folder)
  cmake_parse_arguments(F "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(srcs)
    molvane_test(${folder}_tests SOURCES ${srcs} LIBS ${F_LIBS})
  endif()
endfunction()

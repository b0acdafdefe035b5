# Engine-side code keeps its texts as CP932 bytes: sources stay UTF-8, the
# binary holds the double-byte bytes whose lengths the engine counts.
function(vexa_cp932 target)
  target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP932)
endfunction()

# A static library made of every source file in the given folders (relative to
# the calling CMakeLists). A folder that has no sources yet gives an empty
# library, so the link lines stay the same as the code grows.
function(vexa_library target)
  cmake_parse_arguments(ARG "CP932" "" "DIRS;LINKS" ${ARGN})
  set(srcs)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS
      ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND srcs ${found})
  endforeach()
  if(NOT srcs)
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/${target}_empty.cpp)
    file(WRITE ${stub} "// no sources yet\n")
    list(APPEND srcs ${stub})
  endif()
  add_library(${target} STATIC ${srcs})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  if(ARG_LINKS)
    target_link_libraries(${target} PUBLIC ${ARG_LINKS})
  endif()
  if(ARG_CP932)
    vexa_cp932(${target})
  endif()
endfunction()

# One test program per tests/ folder, made of every *.cpp in it. OWN_MAIN:
# the folder brings its own main() (gtest_main is not linked).
function(vexa_test_dir target)
  cmake_parse_arguments(ARG "CP932;OWN_MAIN" "" "LINKS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${target} ${srcs})
  target_link_libraries(${target} PRIVATE ${ARG_LINKS} GTest::gtest)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${target} PRIVATE GTest::gtest_main)
  endif()
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${target} PRIVATE
    VEXA_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures"
    VEXA_CORPUS="${PROJECT_SOURCE_DIR}/../shared/corpus"
    VEXA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  if(ARG_CP932)
    vexa_cp932(${target})
  endif()
  # Test code is compiled without optimisation even in an optimised build:
  # the libraries under test keep their flags, and optimising the assertion
  # macros costs more build time than the tests ever run.
  target_compile_options(${target} PRIVATE -O0)
  # gtest's header is the bulk of every test file's parse.
  target_precompile_headers(${target} PRIVATE <gtest/gtest.h>)
  # One ctest entry per test program: a process per test case costs more
  # (sanitizer start-up and leak check) than the tests themselves.
  add_test(NAME ${target} COMMAND ${target} --gtest_brief=1)
  set_tests_properties(${target} PROPERTIES TIMEOUT 600)
endfunction()

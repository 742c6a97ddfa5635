# Shared build helpers.

# kestrum_library(<target> [DEPS <targets>...])
# A shared library from the calling directory: sources in src/ (recursively), public headers in include/.
function(kestrum_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/*.cpp)
  if(NOT sources)
    set(sources ${KESTRUM_SOURCE_ROOT}/cmake/empty.cpp)
  endif()
  add_library(${target} SHARED ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
                                       PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# kestrum_test(<name> SOURCES <files>... [LIBS <targets>...] [TIMEOUT <s>])
# One GoogleTest program, registered with CTest. Every test program gets its own temporary
# configuration file and user folders (see tests/support/test_main.cpp).
function(kestrum_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE kestrum_test_support ${ARG_LIBS} GTest::gtest GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "KESTRUM_SOURCE_DIR=${KESTRUM_SOURCE_ROOT};KESTRUM_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()

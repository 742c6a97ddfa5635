# Shared build helpers.
include(GoogleTest)

# kestrum_require_sources(<target> <sources>...)
# A library whose glob found nothing is a misspelt or emptied folder, never an empty library.
function(kestrum_require_sources target)
  if(NOT ARGN)
    message(FATAL_ERROR "${target}: no sources found under ${CMAKE_CURRENT_SOURCE_DIR}/src (a misspelt folder, "
                        "or a library with nothing left in it: remove it from the build instead).")
  endif()
endfunction()

# kestrum_library(<target> [DEPS <targets>...])
# A shared library from the calling directory: sources in src/ (recursively), public headers in include/.
function(kestrum_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/*.cpp)
  kestrum_require_sources(${target} ${sources})
  add_library(${target} SHARED ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
                                       PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# kestrum_test(<name> SOURCES <files>... [LIBS <targets>...] [TIMEOUT <s>] [LABELS <labels>...])
# One GoogleTest program; each of its test cases is its own CTest entry (a process of its own), so
# one case can be run, timed and labelled alone. Every process gets its own temporary configuration
# file and user folders (see tests/support/test_main.cpp). TIMEOUT is per case (default 120 s).
# Labels in use: "solver" (cases that run CalculiX), "slow" (cases that take seconds under ASan).
# Cases are listed when ctest runs (PRE_TEST), so a sanitizer build's slow start never fails the build.
function(kestrum_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE kestrum_test_support ${ARG_LIBS} GTest::gtest GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  gtest_discover_tests(${name}
    TEST_PREFIX "${name}."
    TEST_LIST ${name}_CASES
    NO_PRETTY_VALUES
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  # Lists (labels, environment) do not survive gtest_discover_tests' PROPERTIES, so they are set by a
  # script that ctest reads after the cases were listed.
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake)
  file(WRITE ${script}
    "if(${name}_CASES)\n"
    "  set_tests_properties(\${${name}_CASES} PROPERTIES\n"
    "    LABELS \"${ARG_LABELS}\"\n"
    "    ENVIRONMENT \"KESTRUM_SOURCE_DIR=${KESTRUM_SOURCE_ROOT};KESTRUM_BUILD_DIR=${CMAKE_BINARY_DIR}\")\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()

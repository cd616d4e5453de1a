# vantry_small_code(TARGET): the target's own code optimised for size: every
# installer carries it twice (the stub, and the deinstaller against it), and
# -Os makes both a fifth smaller than -O2. The heavy loops (inflating,
# Zstandard, hashing) are in the libraries linked, which keep their own.
function(vantry_small_code target)
  target_compile_options(${target} PRIVATE $<$<NOT:$<CONFIG:Debug>>:-Os>)
endfunction()

# vantry_library(TARGET DIR [DEPS ...] [SYSTEM ...] [EXCLUDE ...]): a library
# of every source in DIR but the EXCLUDE ones, whose headers are included by
# their bare names.
function(vantry_library target dir)
  cmake_parse_arguments(ARG "" "" "DEPS;SYSTEM;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  foreach(excluded ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${dir}/${excluded})
  endforeach()
  if(NOT sources)
    set(sources ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(${target} STATIC ${sources})
  vantry_small_code(${target})
  target_include_directories(${target} PUBLIC ${dir})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_SYSTEM})
endfunction()

# vantry_unit_tests(NAME DIR DEPS ...): one GoogleTest program for the tests of a folder.
function(vantry_unit_tests name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/common)
  target_compile_definitions(${name} PRIVATE
    VANTRY_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures"
    VANTRY_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    VANTRY_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()

# vantry_linked_programs(PATTERN OUT): one program per source matching
# PATTERN, each linking the libraries its first line names in a comment
# "// links: a b c"; OUT gets the programs' names.
function(vantry_linked_programs pattern out)
  file(GLOB sources CONFIGURE_DEPENDS ${pattern})
  set(names)
  foreach(source ${sources})
    get_filename_component(name ${source} NAME_WE)
    file(STRINGS ${source} first LIMIT_COUNT 1)
    string(REGEX REPLACE "^// links: *" "" links "${first}")
    separate_arguments(links)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${links})
    list(APPEND names ${name})
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

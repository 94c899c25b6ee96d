# GoogleTest from the source that Debian's googletest package installs, built with the current
# toolchain. Host tests carry the label "native", Windows tests run under Wine with label "wine".
if(QB_FUZZ OR QB_BENCH)
  return()
endif()

set(QB_TEST_LABEL native)
if(WIN32)
  set(QB_TEST_LABEL wine)
endif()

set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

include(GoogleTest)

# Windows tests each hold one "wine" slot: tools/wine-run gives a slot its own copy of the Wine
# prefix and its own display, so tests run side by side without sharing focus or registry. The
# win32 test preset reads the slots from this file, one per processor.
if(WIN32)
  cmake_host_system_information(RESULT cores QUERY NUMBER_OF_LOGICAL_CORES)
  set(slots "")
  foreach(slot RANGE 1 ${cores})
    list(APPEND slots "{\"id\": \"${slot}\", \"slots\": 1}")
  endforeach()
  list(JOIN slots ", " slots)
  file(WRITE ${CMAKE_BINARY_DIR}/wine-slots.json
    "{\"version\": {\"major\": 1, \"minor\": 0}, \"local\": [{\"wine\": [${slots}]}]}\n")
endif()

# Labels come from directory properties (tests/ sets "native" or "wine"; a folder may append its
# own), since properties handed to test discovery cannot carry a list.
# qb_test(name [GUI] SOURCES files... DEPS libs...)
# GUI tests show windows (under Wine on a display of their own, see above).
function(qb_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE QB_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  qb_warnings(${name})
  if(WIN32)
    # Test code itself needs neither optimisation nor debug information; with MinGW both more than
    # double its compile time (the libraries under test keep the preset's flags).
    target_compile_options(${name} PRIVATE -O0 -g0)
    # One Wine start per executable; the emulator wraps the run.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600 RESOURCE_GROUPS wine:1)
  else()
    gtest_discover_tests(${name} PROPERTIES TIMEOUT 300 DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

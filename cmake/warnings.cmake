# Every target of ours builds without warnings; a warning is an error.
function(qb_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Werror)
endfunction()

# qb_library(name PORTABLE files... WIN32 files... POSIX files... DEPS libs...)
# Portable sources build everywhere; WIN32 sources only in the Windows build, POSIX ones only on
# the host, where they stand in for the platform services in tests.
function(qb_library name)
  cmake_parse_arguments(ARG "" "" "PORTABLE;WIN32;POSIX;DEPS" ${ARGN})
  set(sources ${ARG_PORTABLE})
  if(WIN32)
    list(APPEND sources ${ARG_WIN32})
  else()
    list(APPEND sources ${ARG_POSIX})
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  qb_warnings(${name})
endfunction()

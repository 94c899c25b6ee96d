# qb_ship(target): the shipped program keeps its debug information in <program>.debug beside
# it, linked by name and checksum, so Wine maps only the code and debuggers still find the rest.
function(qb_ship target)
  set(program $<TARGET_FILE:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${program} ${program}.debug
    COMMAND ${CMAKE_STRIP} --strip-unneeded ${program}
    COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${program}.debug ${program}
    VERBATIM)
endfunction()

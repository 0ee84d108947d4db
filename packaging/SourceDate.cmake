# The time every generated file carries: SOURCE_DATE_EPOCH when the builder sets it, else the
# time of the last commit, so that two builds of one commit give the same bytes, whichever
# checkout they come from and whatever times its files have.
set(BRIVANT_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
if(NOT BRIVANT_EPOCH)
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                    OUTPUT_VARIABLE BRIVANT_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
endif()
if(NOT BRIVANT_EPOCH MATCHES "^[0-9]+$")
  set(BRIVANT_EPOCH 0)
endif()

# Every generating step of the build runs with it: the resource compiler would otherwise
# embed the icon file's modification time in the window program.
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} PROPERTY RULE_LAUNCH_CUSTOM
             "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${BRIVANT_EPOCH}")

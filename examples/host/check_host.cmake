# Runs the example host and compares its standard output and exit status
# with what is expected.
#
#   cmake -DHOST=<kelpa_host> -DEXPECTED=<file> [-DSTATUS=<n>] -P check_host.cmake -- <host arguments>
#
# In EXPECTED, @DIR@ stands for the directory EXPECTED lives in (the script's
# full path appears in diagnostics).
set(args)
set(take OFF)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE ${last})
  if(take)
    list(APPEND args "${CMAKE_ARGV${i}}")
  elseif("${CMAKE_ARGV${i}}" STREQUAL "--")
    set(take ON)
  endif()
endforeach()
if(NOT DEFINED STATUS)
  set(STATUS 0)
endif()

execute_process(COMMAND ${HOST} ${args} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
get_filename_component(dir "${EXPECTED}" DIRECTORY)
file(READ "${EXPECTED}" want)
string(REPLACE "@DIR@" "${dir}" want "${want}")
if(NOT rc EQUAL STATUS)
  message(FATAL_ERROR "exit status ${rc}, expected ${STATUS}\n${out}${err}")
endif()
if(NOT out STREQUAL want)
  message(FATAL_ERROR "output differs.\n--- expected\n${want}--- actual\n${out}${err}")
endif()

# Installs the build tree into a fresh prefix, builds the consumer project
# against it, runs the consumer and the installed console program, and
# checks what they print.
#
#   cmake -DBUILD_DIR=... -DCONSUMER_DIR=... -DWORK_DIR=... -DCXX=... -DCONFIG=... -P run_consumer.cmake
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(f include/kelpa/kelpa.h)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

set(type_arg)
if(CONFIG)
  set(type_arg -DCMAKE_BUILD_TYPE=${CONFIG})
endif()
run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/build -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_CXX_COMPILER=${CXX} ${type_arg})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)

run(${WORK_DIR}/build/kelpa_consumer)
set(want "scale=47 pow=1024 index=1\n\n(null) : parameter error in line 2\nint broken() { int a[2]; return a[1][0]; }\nerror=4\n")
if(NOT out STREQUAL want)
  message(FATAL_ERROR "consumer printed:\n${out}\nexpected:\n${want}")
endif()

# The installed console program, as the package reports it.
file(READ ${WORK_DIR}/build/kelpa_executable.txt kelpa)
file(WRITE ${WORK_DIR}/hello.kel "void main() { printf(\"%d\\n\", pow(3, 4)); }\n")
run(${kelpa} ${WORK_DIR}/hello.kel)
if(NOT out STREQUAL "81\n")
  message(FATAL_ERROR "installed kelpa printed: ${out}")
endif()

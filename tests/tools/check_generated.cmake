cmake_minimum_required(VERSION 3.25)
# Runs a generator into a scratch folder and compares what it writes with the
# committed files, byte for byte.
#   cmake -DTOOL=<exe> -DARGS=<args, with @OUT@ for the scratch folder>
#         -DOUT=<scratch folder> -DFILES=<names> -DEXPECTED=<folder> -P check_generated.cmake
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")
string(REPLACE "@OUT@" "${OUT}" _args "${ARGS}")
execute_process(COMMAND "${TOOL}" ${_args} RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "${TOOL} failed: ${_rc}")
endif()
foreach(f IN LISTS FILES)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUT}/${f}" "${EXPECTED}/${f}"
                  RESULT_VARIABLE _diff)
  if(NOT _diff EQUAL 0)
    message(FATAL_ERROR "${f}: a fresh run differs from ${EXPECTED}/${f}")
  endif()
  message(STATUS "${f}: identical")
endforeach()

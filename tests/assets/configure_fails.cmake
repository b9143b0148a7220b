# Configures PROJECT in BINARY and passes only if that fails naming MISSING.
execute_process(COMMAND ${CMAKE_COMMAND} -S ${PROJECT} -B ${BINARY} -DSTROPHE_SOURCE_DIR=${STROPHE_SOURCE_DIR}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(result EQUAL 0)
  message(FATAL_ERROR "configuring ${PROJECT} succeeded:\n${out}")
endif()
if(NOT err MATCHES "${MISSING}")
  message(FATAL_ERROR "configuring ${PROJECT} failed without naming ${MISSING}:\n${err}")
endif()

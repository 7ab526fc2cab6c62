# Runs one scenario script and compares the runner's output with the
# expected lines. Arguments: RUNNER, SCRIPT, EXPECTED, ACTUAL.
execute_process(COMMAND ${RUNNER} ${SCRIPT} OUTPUT_FILE ${ACTUAL} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "runner failed (${rc}) on ${SCRIPT}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${EXPECTED} ${ACTUAL}
    RESULT_VARIABLE differs)
if(differs)
    execute_process(COMMAND diff -u ${EXPECTED} ${ACTUAL})
    message(FATAL_ERROR "output of ${SCRIPT} differs from ${EXPECTED} (actual: ${ACTUAL})")
endif()

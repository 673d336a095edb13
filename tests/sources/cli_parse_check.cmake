# Runs harvio-cli parse on one saved page and compares its output with the
# expected admissions, line for line.
execute_process(
  COMMAND ${CLI} parse --source ${SOURCE} --kind ${KIND} --url ${URL} ${PAGE}
  OUTPUT_VARIABLE actual
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "harvio-cli parse failed with ${status}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "unexpected admissions:\n${actual}\nexpected:\n${expected}")
endif()

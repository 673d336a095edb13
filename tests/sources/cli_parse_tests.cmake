# add_cli_parse_tests(FOLDER): one test that runs harvio-cli parse on the
# page of every case of tests/data/FOLDER/cases.txt and compares what it
# prints with NAME.expected, line for line.
function(add_cli_parse_tests folder)
  if(NOT TARGET harvio-cli)
    return()
  endif()
  add_test(NAME cli_parse_${folder}
    COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:harvio-cli>
            -DDATA=${CMAKE_SOURCE_DIR}/tests/data/${folder}
            -P ${CMAKE_SOURCE_DIR}/tests/sources/cli_parse_check.cmake)
endfunction()

# add_cli_parse_tests(FOLDER): one test per case of tests/data/FOLDER/cases.txt
# that runs harvio-cli parse on the page and compares what it prints with
# NAME.expected, line for line.
function(add_cli_parse_tests folder)
  if(NOT TARGET harvio-cli)
    return()
  endif()
  set(data ${CMAKE_SOURCE_DIR}/tests/data/${folder})
  file(STRINGS ${data}/cases.txt cases REGEX "^[^#]")
  foreach(case IN LISTS cases)
    string(REPLACE "\t" ";" fields "${case}")
    list(GET fields 0 name)
    list(GET fields 1 source)
    list(GET fields 2 kind)
    list(GET fields 3 url)
    set(page ${name})
    list(LENGTH fields count)
    if(count GREATER 5)
      list(GET fields 5 page)
    endif()
    add_test(NAME cli_parse_${folder}_${name}
      COMMAND ${CMAKE_COMMAND}
        -DCLI=$<TARGET_FILE:harvio-cli>
        -DPAGE=${data}/${page}.html
        -DSOURCE=${source} -DKIND=${kind} -DURL=${url}
        -DEXPECTED=${data}/${name}.expected
        -P ${CMAKE_SOURCE_DIR}/tests/sources/cli_parse_check.cmake)
  endforeach()
endfunction()

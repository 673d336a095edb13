# Runs harvio-cli parse on the page of every case of DATA/cases.txt (NAME,
# source, kind, URL, title, page if not NAME) and compares its output with
# NAME.expected.
cmake_policy(SET CMP0007 NEW)  # keep the empty title field
file(STRINGS ${DATA}/cases.txt cases REGEX "^[^#]")
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
  execute_process(
    COMMAND ${CLI} parse --source ${source} --kind ${kind} --url ${url} ${DATA}/${page}.html
    OUTPUT_VARIABLE actual
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${name}: harvio-cli parse failed with ${status}")
  endif()
  file(READ ${DATA}/${name}.expected expected)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "${name}: unexpected admissions:\n${actual}\nexpected:\n${expected}")
  endif()
endforeach()

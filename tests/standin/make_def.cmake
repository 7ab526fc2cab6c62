cmake_minimum_required(VERSION 3.20)
# Writes the stand-in's export list: every name Wine's winspool.drv exports,
# forwarded to its renamed copy wspl_wine.drv, except those the stand-in
# answers itself. Variables: OBJDUMP, WINE_WINSPOOL, OUTPUT, OWN (names,
# separated by commas).
string(REPLACE "," ";" OWN "${OWN}")
execute_process(COMMAND ${OBJDUMP} -p ${WINE_WINSPOOL} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot read the exports of ${WINE_WINSPOOL}")
endif()
# The table runs from its heading to the next empty line.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(.*)" table "${dump}")
string(FIND "${CMAKE_MATCH_1}" "\n\n" end)
string(SUBSTRING "${CMAKE_MATCH_1}" 0 ${end} table)
string(REGEX MATCHALL "\\[ *[0-9]+\\] [A-Za-z_][A-Za-z0-9_]*" rows "${table}")
set(text "LIBRARY winspool.drv\nEXPORTS\n")
foreach(row IN LISTS rows)
    string(REGEX REPLACE ".*\\] " "" name "${row}")
    if(NOT name IN_LIST OWN)
        string(APPEND text "    ${name} = wspl_wine.drv.${name}\n")
    endif()
endforeach()
foreach(name IN LISTS OWN)
    string(APPEND text "    ${name}\n")
endforeach()
file(WRITE ${OUTPUT} "${text}")

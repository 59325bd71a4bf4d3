# cmake -DEXECUTABLE=<program> -DNM=<nm> -DOUTPUT=<file.s> -P BrivelExecutableExports.cmake
# Writes the assembly of a library that defines every symbol the program exports, with its kind
# and size, as a stand-in for the program in the modules' link check (brivel_executable_exports).
execute_process(COMMAND ${NM} --dynamic --defined-only --print-size ${EXECUTABLE}
    OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "Cannot list the symbols ${EXECUTABLE} exports")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(assembly "")
foreach(line IN LISTS lines)
    if(NOT line MATCHES "^[0-9a-f]+ (([0-9a-f]+) )?([A-Za-z]) ([^ @]+)")
        continue()
    endif()
    set(symbol ${CMAKE_MATCH_4})
    if(CMAKE_MATCH_3 MATCHES "^[TtWi]$")
        string(APPEND assembly ".text\n.globl ${symbol}\n.type ${symbol}, @function\n${symbol}:\n")
    else()
        set(size 0)
        if(CMAKE_MATCH_2)
            math(EXPR size "0x${CMAKE_MATCH_2}")
        endif()
        string(APPEND assembly ".data\n.globl ${symbol}\n.type ${symbol}, @object\n"
            ".size ${symbol}, ${size}\n${symbol}:\n.zero ${size}\n")
    endif()
endforeach()
file(WRITE ${OUTPUT} "${assembly}")

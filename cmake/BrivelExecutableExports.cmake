# cmake -DEXECUTABLE=<program> -DREADELF=<readelf> -DOUTPUT=<file.s> -P BrivelExecutableExports.cmake
# Writes the assembly of a library that defines every symbol the program exports, of the same kind
# and size, as a stand-in for the program in the modules' link check (brivel_executable_exports).
execute_process(COMMAND ${READELF} --dyn-syms --wide ${EXECUTABLE}
    OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "Cannot list the symbols ${EXECUTABLE} exports")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(assembly "")
# Num: Value Size Type Bind Vis Ndx Name
set(entry "^ *[0-9]+: [0-9a-f]+ +((0x)?[0-9a-f]+) ([A-Z_]+) +[A-Z_]+ +[A-Z_]+ +([0-9]+|ABS) ([^ @]+)")
foreach(line IN LISTS lines)
    if(NOT line MATCHES "${entry}")
        continue()
    endif()
    set(symbol ${CMAKE_MATCH_5})
    set(type ${CMAKE_MATCH_3})
    math(EXPR size "${CMAKE_MATCH_1}")
    if(type MATCHES "FUNC")
        string(APPEND assembly ".text\n.globl ${symbol}\n.type ${symbol}, @function\n${symbol}:\n")
        continue()
    elseif(type STREQUAL "TLS")
        string(APPEND assembly ".section .tbss,\"awT\",@nobits\n")
    else()
        string(APPEND assembly ".data\n")
    endif()
    string(APPEND assembly ".globl ${symbol}\n.type ${symbol}, @object\n.size ${symbol}, ${size}\n"
        "${symbol}:\n.zero ${size}\n")
endforeach()
file(WRITE ${OUTPUT} "${assembly}")

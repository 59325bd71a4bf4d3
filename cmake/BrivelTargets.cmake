# Compiler settings and Qt hygiene shared by every Brivel target.
function(brivel_configure_target target)
    target_compile_definitions(${target} PRIVATE
        QT_NO_CAST_TO_ASCII
        QT_RESTRICTED_CAST_FROM_ASCII
        QT_NO_FOREACH
        QT_NO_JAVA_STYLE_ITERATORS
        QT_USE_QSTRINGBUILDER
        QT_NO_KEYWORDS)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(BRIVEL_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# brivel_add_library(name SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
function(brivel_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
    brivel_configure_target(${name})
endfunction()

# brivel_add_test(name SOURCES ... LIBS ... [GUI] [SESSION_BUS])
# Every test gets config and data homes of its own, so it never touches the user's files;
# tests that need a clean slate make a temporary one. SESSION_BUS runs the test on a private
# session bus of its own.
function(brivel_add_test name)
    cmake_parse_arguments(ARG "GUI;SESSION_BUS" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
    brivel_configure_target(${name})
    set(home ${CMAKE_CURRENT_BINARY_DIR}/${name}-home)
    if(ARG_SESSION_BUS)
        add_test(NAME ${name} COMMAND dbus-run-session -- $<TARGET_FILE:${name}>)
    else()
        add_test(NAME ${name} COMMAND ${name})
    endif()
    set(env
        "XDG_CONFIG_HOME=${home}/config"
        "XDG_DATA_HOME=${home}/data"
        "XDG_RUNTIME_DIR=${home}/runtime"
        "LANG=C.UTF-8"
        "LC_ALL=C.UTF-8")
    if(ARG_GUI)
        list(APPEND env "QT_QPA_PLATFORM=offscreen")
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 120)
    file(MAKE_DIRECTORY "${home}/config" "${home}/data" "${home}/runtime")
    file(CHMOD "${home}/runtime" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endfunction()

# brivel_soname(var library_file): the shared-object name a library loaded at run time is
# opened by (dlopen), read from the file the build finds.
function(brivel_soname var library)
    execute_process(COMMAND ${CMAKE_OBJDUMP} -p "${library}" OUTPUT_VARIABLE headers)
    string(REGEX MATCH "SONAME +([^\n ]+)" found "${headers}")
    if(NOT CMAKE_MATCH_1)
        message(FATAL_ERROR "Cannot read the shared-object name of ${library}")
    endif()
    set(${var} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

# brivel_add_module(name SOURCES ... [LIBS ...] [TEST]): a part of the program loaded when it is
# first used (RuntimeModule::entryPoints), as libbrivel_<name>.so in the build's modules folder,
# installed in lib/brivel. Its header declares its entry points. It links only the libraries it
# brings, none of them mapped before the module is loaded, and takes Brivel's own classes from the
# executable, which exports only what the dynamic list beside that header names
# (brivel_module_exports). A second link of the module, against what the executable exports and
# with --no-undefined, fails the build when the module needs one symbol more. TEST: a module of
# the tests, neither checked nor installed.
function(brivel_add_module name)
    cmake_parse_arguments(ARG "TEST" "" "SOURCES;LIBS" ${ARGN})
    set(objects brivel_${name}_objects)
    add_library(${objects} OBJECT ${ARG_SOURCES})
    set_target_properties(${objects} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_include_directories(${objects} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${objects} PRIVATE ${ARG_LIBS})
    target_compile_definitions(${objects} PRIVATE
        BRIVEL_MODULE_NAME="${name}" BRIVEL_BUILD_IDENTITY="${BRIVEL_BUILD_IDENTITY}")
    brivel_configure_target(${objects})

    add_library(brivel_${name} MODULE $<TARGET_OBJECTS:${objects}>)
    set_target_properties(brivel_${name} PROPERTIES
        LIBRARY_OUTPUT_DIRECTORY ${BRIVEL_BUILD_MODULE_DIR} AUTOMOC OFF)
    target_link_libraries(brivel_${name} PRIVATE ${ARG_LIBS})
    if(ARG_TEST)
        return()
    endif()
    install(TARGETS brivel_${name} LIBRARY DESTINATION ${BRIVEL_INSTALL_MODULE_SUBDIR})

    add_library(brivel_${name}_link_check MODULE $<TARGET_OBJECTS:${objects}>)
    set_target_properties(brivel_${name}_link_check PROPERTIES
        LIBRARY_OUTPUT_DIRECTORY ${BRIVEL_MODULE_LINK_CHECK_DIR} AUTOMOC OFF)
    target_link_libraries(brivel_${name}_link_check PRIVATE
        ${BRIVEL_MODULE_LINK_CHECK_DIR}/libexecutable_exports.so ${ARG_LIBS})
    target_link_options(brivel_${name}_link_check PRIVATE LINKER:--no-undefined)
    add_dependencies(brivel_${name}_link_check brivel_executable_exports)
endfunction()

# brivel_module_exports(library dynamic_list ...): what the ld dynamic lists name, of the code in
# `library`, is exported to the modules by every executable that links it, and nothing else.
function(brivel_module_exports library)
    foreach(list ${ARGN})
        set(file ${CMAKE_CURRENT_SOURCE_DIR}/${list})
        target_link_options(${library} INTERFACE
            "$<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:LINKER:--dynamic-list=${file}>")
        set_property(TARGET ${library} APPEND PROPERTY INTERFACE_LINK_DEPENDS ${file})
    endforeach()
endfunction()

# brivel_executable_exports(executable): a stand-in library exporting what `executable` exports,
# which the modules' link check links against, since ld takes no executable as input.
function(brivel_executable_exports executable)
    set(assembly ${BRIVEL_MODULE_LINK_CHECK_DIR}/executable_exports.s)
    set(library ${BRIVEL_MODULE_LINK_CHECK_DIR}/libexecutable_exports.so)
    set(script ${PROJECT_SOURCE_DIR}/cmake/BrivelExecutableExports.cmake)
    add_custom_command(OUTPUT ${library}
        COMMAND ${CMAKE_COMMAND} -DEXECUTABLE=$<TARGET_FILE:${executable}> -DREADELF=${CMAKE_READELF}
            -DOUTPUT=${assembly} -P ${script}
        COMMAND ${CMAKE_CXX_COMPILER} -shared -nostdlib -o ${library} ${assembly}
        DEPENDS ${executable} ${script}
        COMMENT "Listing what ${executable} exports to its modules"
        VERBATIM)
    add_custom_target(brivel_executable_exports DEPENDS ${library})
endfunction()

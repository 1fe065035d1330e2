# Install-time script: copies beside the programs every DLL that they and the
# Qt plugins import, found by scanning their PE import tables; Windows' own
# DLLs stay out. Variables: PROGRAMS, PLUGINS (installed paths), SEARCH
# (directories holding the DLLs), OBJDUMP, DESTINATION.
# The scan looks names up in lower case, and this file system minds case:
# it searches a folder of lower-case links to the DLLs instead.
set(lower "${CMAKE_CURRENT_BINARY_DIR}/k57-dll-names")
file(REMOVE_RECURSE "${lower}")
file(MAKE_DIRECTORY "${lower}")
foreach(dir IN LISTS SEARCH)
    file(GLOB dlls "${dir}/*.dll")
    foreach(dll IN LISTS dlls)
        get_filename_component(name "${dll}" NAME)
        string(TOLOWER "${name}" name)
        file(CREATE_LINK "${dll}" "${lower}/${name}" SYMBOLIC)
    endforeach()
endforeach()

set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM "windows+pe")
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL "objdump")
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND "${OBJDUMP}")
file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES ${PROGRAMS}
    MODULES ${PLUGINS}
    DIRECTORIES "${lower}"
    PRE_EXCLUDE_REGEXES "^api-ms-" "^ext-ms-"
    RESOLVED_DEPENDENCIES_VAR found
    UNRESOLVED_DEPENDENCIES_VAR system
)
foreach(dll IN LISTS found)
    file(REAL_PATH "${dll}" real)
    file(INSTALL "${real}" DESTINATION "${DESTINATION}")
endforeach()
file(REMOVE_RECURSE "${lower}")
list(JOIN system ", " system)
message(STATUS "Left to Windows: ${system}")

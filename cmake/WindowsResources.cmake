# Windows resources of the two programs: the icon, the version information
# Explorer shows under Properties > Details, and the manifest (Windows 10/11,
# per-monitor DPI awareness v2, common controls 6, UTF-8 code page).
set(K57_RC_VERSION "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0")
set(K57_RC_VERSION_DOTTED "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
set(K57_RC_PRODUCT_VERSION "${PROJECT_VERSION}")
if(K57_GIT_DESCRIBE)
    string(APPEND K57_RC_PRODUCT_VERSION " (${K57_GIT_DESCRIBE})")
endif()
set(K57_RC_COPYRIGHT "See LICENSE.txt")

function(k57_windows_resources target description)
    set(K57_RC_NAME ${target})
    set(K57_RC_FILE ${target}.exe)
    set(K57_RC_DESCRIPTION "${description}")
    set(dir ${CMAKE_BINARY_DIR}/windows-resources)
    set(K57_RC_MANIFEST ${dir}/${target}.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/resources/k57program.manifest.in ${K57_RC_MANIFEST} @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/resources/k57program.rc.in ${dir}/${target}.rc @ONLY)
    target_sources(${target} PRIVATE ${dir}/${target}.rc)
    set_source_files_properties(${dir}/${target}.rc PROPERTIES
        OBJECT_DEPENDS "${K57_ICON_ICO};${K57_RC_MANIFEST}")
    add_dependencies(${target} k57icon)
endfunction()

k57_windows_resources(k57tool "K57 service tool")
k57_windows_resources(k57ctl "K57 service tool, command line")

# Install rules and packages.
include(GNUInstallDirs)

if(WIN32)
    # A folder that runs as it is: programs and DLLs side by side, the Qt
    # plugins in the subfolders Qt looks for beside the program.
    set(K57_BINDIR .)
    install(TARGETS k57tool k57ctl RUNTIME DESTINATION ${K57_BINDIR})
    get_filename_component(qt_root "${Qt6_DIR}/../../.." ABSOLUTE)
    set(plugins platforms/qwindows.dll styles/qwindowsvistastyle.dll)
    set(installed_plugins)
    foreach(plugin IN LISTS plugins)
        get_filename_component(folder ${plugin} DIRECTORY)
        install(FILES ${qt_root}/plugins/${plugin} DESTINATION ${folder})
        list(APPEND installed_plugins "\${CMAKE_INSTALL_PREFIX}/${plugin}")
    endforeach()
    find_program(K57_OBJDUMP NAMES ${CMAKE_CXX_COMPILER_TARGET}-objdump x86_64-w64-mingw32-objdump
                 objdump REQUIRED)
    install(CODE "
        set(PROGRAMS \"\${CMAKE_INSTALL_PREFIX}/k57tool.exe;\${CMAKE_INSTALL_PREFIX}/k57ctl.exe\")
        set(PLUGINS \"${installed_plugins}\")
        set(SEARCH \"${qt_root}/bin\")
        set(OBJDUMP \"${K57_OBJDUMP}\")
        set(DESTINATION \"\${CMAKE_INSTALL_PREFIX}\")
        include(\"${PROJECT_SOURCE_DIR}/cmake/WindowsRuntime.cmake\")
    ")
    install(FILES README.md DESTINATION . RENAME README.txt)

    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME "k57tool-${PROJECT_VERSION}-win64")
endif()

set(CPACK_PACKAGE_NAME k57tool)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Service tool for the K57 vehicle alarm and telematics unit")
include(CPack)

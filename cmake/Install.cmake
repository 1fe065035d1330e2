# Install rules and packages.
include(GNUInstallDirs)

set(CPACK_PACKAGE_NAME k57tool)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "K57 service tool")
# Who publishes the build: Windows shows it as the programs' company and the
# installed program's publisher. The product's name stays the vendor above.
set(K57_PUBLISHER "K57 service tool authors" CACHE STRING
    "The publisher the Windows programs and installer name")
set(CPACK_K57_PUBLISHER "${K57_PUBLISHER}")
set(CPACK_PACKAGE_CONTACT "K57 service tool <k57tool@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Service tool for the K57 vehicle alarm and telematics unit")

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
    # libpq, the OpenSSL DLLs it imports for TLS to the workshop's server,
    # and libsodium, from build/windows-sdk/deps-mingw64 (cmake/Libpq.cmake),
    # shipped whatever the programs import now: scanned as the plugins are,
    # so what they import comes along too.
    set(deps libpq.dll libssl-3-x64.dll libcrypto-3-x64.dll libsodium-23.dll)
    foreach(dll IN LISTS deps)
        install(FILES ${K57_DEPS_BIN_DIR}/${dll} DESTINATION .)
        list(APPEND installed_plugins "\${CMAKE_INSTALL_PREFIX}/${dll}")
    endforeach()
    # SQLite's DLL sits in its package's bin/, beside include/.
    get_filename_component(sqlite_bin "${SQLite3_INCLUDE_DIR}/../bin" ABSOLUTE)
    # zlib1.dll sits beside the import library, in the MinGW tree's lib/.
    get_filename_component(zlib_bin "${ZLIB_INCLUDE_DIR}/../lib" ABSOLUTE)
    find_program(K57_OBJDUMP NAMES ${CMAKE_CXX_COMPILER_TARGET}-objdump x86_64-w64-mingw32-objdump
                 objdump REQUIRED)
    install(CODE "
        set(PROGRAMS \"\${CMAKE_INSTALL_PREFIX}/k57tool.exe;\${CMAKE_INSTALL_PREFIX}/k57ctl.exe\")
        set(PLUGINS \"${installed_plugins}\")
        set(SEARCH \"${qt_root}/bin;${sqlite_bin};${zlib_bin};${K57_DEPS_BIN_DIR}\")
        set(OBJDUMP \"${K57_OBJDUMP}\")
        set(DESTINATION \"\${CMAKE_INSTALL_PREFIX}\")
        include(\"${PROJECT_SOURCE_DIR}/cmake/WindowsRuntime.cmake\")
    ")
    # For the technician: a short guide in Russian, the licence, and the
    # licences of the libraries that ship beside the programs.
    install(FILES packaging/windows/README.txt DESTINATION .)
    # The whole guide, in the technicians' language, as Markdown text.
    install(DIRECTORY docs/guide/ru/ DESTINATION guide)
    install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
    install(FILES packaging/windows/licenses/README.txt DESTINATION licenses)
    install(FILES /usr/share/common-licenses/LGPL-3 DESTINATION licenses RENAME LGPL-3.txt)
    install(FILES /usr/share/common-licenses/GPL-3 DESTINATION licenses RENAME GPL-3.txt)
    install(FILES "${sqlite_bin}/../LICENSE.md" DESTINATION licenses RENAME SQLite.txt)
    install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright
            DESTINATION licenses RENAME GCC-runtime.txt)
    install(FILES /usr/share/doc/mingw-w64-common/copyright
            DESTINATION licenses RENAME mingw-w64.txt)
    install(FILES /usr/share/doc/libz-mingw-w64/copyright DESTINATION licenses RENAME zlib.txt)
    # Compiled into the programs, from the distribution's headers.
    install(FILES /usr/share/doc/libcli11-dev/copyright DESTINATION licenses RENAME CLI11.txt)
    install(FILES /usr/share/doc/librapidxml-dev/copyright
            DESTINATION licenses RENAME RapidXML.txt)
    # PostgreSQL's (libpq), OpenSSL's and libsodium's, as their archive has them.
    install(DIRECTORY ${K57_DEPS_BIN_DIR}/../licenses/ DESTINATION licenses)

    # The portable zip and the installer (setup.exe); scripts/build-windows.sh
    # makes both. The programs in them are stripped, then signed when a
    # certificate is given (scripts/sign-windows.sh).
    set(CPACK_GENERATOR "ZIP;NSIS64")
    # The installer's licence page shows the tool's own terms, with the
    # line ends Windows' text box breaks lines at.
    file(READ "${PROJECT_SOURCE_DIR}/LICENSE" k57_licence)
    string(REPLACE "\n" "\r\n" k57_licence "${k57_licence}")
    file(WRITE "${CMAKE_BINARY_DIR}/LICENSE.txt" "${k57_licence}")
    set(CPACK_RESOURCE_FILE_LICENSE "${CMAKE_BINARY_DIR}/LICENSE.txt")
    set(CPACK_PACKAGE_FILE_NAME "k57tool-${PROJECT_VERSION}-win64")
    set(CPACK_STRIP_FILES ON)
    set(CPACK_K57_SIGN_SCRIPT "${PROJECT_SOURCE_DIR}/scripts/sign-windows.sh")
    set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/SignPrograms.cmake")
    set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/CPackWindows.cmake")
    set(CPACK_MODULE_PATH "${PROJECT_SOURCE_DIR}/packaging/windows")
    set(CPACK_PACKAGE_INSTALL_DIRECTORY "K57 service tool")
    set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY k57tool)
    set(CPACK_NSIS_DISPLAY_NAME "K57 service tool")
    set(CPACK_NSIS_PACKAGE_NAME "K57 service tool")
    set(CPACK_NSIS_UNINSTALL_NAME Uninstall)
    set(CPACK_K57_VERSION4 "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
    set(CPACK_K57_ICON "${K57_ICON_ICO}")
else()
    # The unit's USB vendor and product IDs, for the udev rule.
    set(K57_USB_VENDOR "0483" CACHE STRING "The unit's USB vendor ID (4 hex digits, from lsusb)")
    set(K57_USB_PRODUCT "5740" CACHE STRING "The unit's USB product ID (4 hex digits, from lsusb)")
    set(K57_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING "Where udev rules go, below the prefix")

    install(TARGETS k57tool k57ctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    if(TARGET k57sim)
        install(TARGETS k57sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
    install(FILES packaging/k57tool.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES packaging/k57tool.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    configure_file(packaging/60-k57.rules.in ${CMAKE_BINARY_DIR}/60-k57.rules @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/60-k57.rules DESTINATION ${K57_UDEV_RULES_DIR})
    install(FILES packaging/k57tool.1 packaging/k57ctl.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    if(TARGET k57sim)
        install(FILES packaging/k57sim.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
    install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
    # The guide in both languages, with the picture its pages link to, in
    # the layout the links expect (guide/en/../../images).
    install(DIRECTORY docs/guide/en docs/guide/ru DESTINATION ${CMAKE_INSTALL_DOCDIR}/guide)
    install(FILES docs/images/main-window.png DESTINATION ${CMAKE_INSTALL_DOCDIR}/images)

    # A Debian package: the Qt libraries it links come from dpkg-shlibdeps;
    # the platform plugins Qt loads at run time cannot be seen that way.
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
    set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "Service tool for the K57 vehicle alarm and telematics unit\n Identifies the unit on its USB serial port, reads, edits, saves and\n writes its settings, updates its firmware and sound data, and shows\n its sensor and CAN monitors; k57ctl does the same from a command line.")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
        "${PROJECT_SOURCE_DIR}/packaging/postinst;${PROJECT_SOURCE_DIR}/packaging/postrm")
endif()

include(CPack)

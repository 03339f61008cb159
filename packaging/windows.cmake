# The Windows install layout and installer (cpack -G NSIS): the program, Qt's DLLs and platform plugin.
install(TARGETS quindle RUNTIME DESTINATION .)
install(FILES "${quindle_wordlist}" DESTINATION .)

# Qt here is built as DLLs, with no deployment tool for a Linux host, so its run-time files are named.
foreach(module IN ITEMS Core Gui Widgets)
    install(IMPORTED_RUNTIME_ARTIFACTS Qt6::${module} RUNTIME DESTINATION .)
endforeach()
# Qt looks for its plugins in folders beside the program.
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsIntegrationPlugin LIBRARY DESTINATION platforms
    RUNTIME DESTINATION platforms)
if(TARGET Qt6::QWindowsVistaStylePlugin)
    install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsVistaStylePlugin LIBRARY DESTINATION styles
        RUNTIME DESTINATION styles)
endif()

set(CPACK_PACKAGE_FILE_NAME "Quindle-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quindle)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME Quindle)
set(CPACK_NSIS_DISPLAY_NAME Quindle)
set(CPACK_NSIS_URL_INFO_ABOUT "${PROJECT_HOMEPAGE_URL}")
set(CPACK_NSIS_INSTALLED_ICON_NAME quindle.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit installer for a 64-bit program; NSIS makes 32-bit ones unless told, and those need 32-bit support
# that not every Windows (or wine) has.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
# The Start-menu entry: program file name (without .exe), then the entry's text.
set(CPACK_PACKAGE_EXECUTABLES quindle Quindle)

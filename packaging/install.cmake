# Install layout and the Debian package (cpack -G DEB).
include(GNUInstallDirs)

# Installed files are world-readable whatever the umask of the person who builds the package.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The program reads wordlist.txt from beside its executable, whichever the platform.
set(quindle_wordlist "$<TARGET_FILE_DIR:quindle>/wordlist.txt")

if(APPLE)
    # The build already put wordlist.txt into the bundle's MacOS folder.
    install(TARGETS quindle BUNDLE DESTINATION .)
elseif(WIN32)
    include("${CMAKE_CURRENT_LIST_DIR}/windows.cmake")
else()
    set(QUINDLE_INSTALL_PKGDIR "lib/quindle" CACHE STRING
        "Folder under the prefix that holds the program and its word list")
    # Qt's default $ORIGIN run path serves a bundled Qt; this layout uses the system's.
    set_target_properties(quindle PROPERTIES INSTALL_RPATH "")
    install(TARGETS quindle RUNTIME DESTINATION "${QUINDLE_INSTALL_PKGDIR}")

    # The word list lives in /etc so that dpkg keeps a user's edits across upgrades; the program still
    # opens it beside itself, through a link.
    set(quindle_wordlist_etc "${CMAKE_INSTALL_FULL_SYSCONFDIR}/quindle/wordlist.txt")
    install(FILES "${quindle_wordlist}" DESTINATION "${CMAKE_INSTALL_FULL_SYSCONFDIR}/quindle")
    set(quindle_wordlist_link "${PROJECT_BINARY_DIR}/packaging/wordlist.txt")
    file(MAKE_DIRECTORY "${PROJECT_BINARY_DIR}/packaging")
    file(CREATE_LINK "${quindle_wordlist_etc}" "${quindle_wordlist_link}" SYMBOLIC)
    install(FILES "${quindle_wordlist_link}" DESTINATION "${QUINDLE_INSTALL_PKGDIR}")
    file(WRITE "${PROJECT_BINARY_DIR}/packaging/conffiles" "${quindle_wordlist_etc}\n")

    # A relative link works under any prefix and DESTDIR; the program follows it to its real folder.
    file(RELATIVE_PATH quindle_link_target "/${CMAKE_INSTALL_BINDIR}" "/${QUINDLE_INSTALL_PKGDIR}/quindle")
    set(quindle_link "${PROJECT_BINARY_DIR}/packaging/quindle")
    file(CREATE_LINK "${quindle_link_target}" "${quindle_link}" SYMBOLIC)
    install(FILES "${quindle_link}" DESTINATION "${CMAKE_INSTALL_BINDIR}")

    install(FILES "${CMAKE_CURRENT_LIST_DIR}/quindle.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
    install(FILES "${CMAKE_CURRENT_LIST_DIR}/org.quindle.Quindle.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
    set(quindle_icons "${CMAKE_INSTALL_DATADIR}/icons/hicolor")
    foreach(size IN ITEMS 16 32 48)
        install(FILES "${PROJECT_SOURCE_DIR}/data/icons/quindle-${size}.png"
            DESTINATION "${quindle_icons}/${size}x${size}/apps" RENAME quindle.png)
    endforeach()
    install(FILES "${PROJECT_SOURCE_DIR}/data/icons/quindle.svg" DESTINATION "${quindle_icons}/scalable/apps")
    include("${CMAKE_CURRENT_LIST_DIR}/debian-docs.cmake")
endif()

set(CPACK_PACKAGE_NAME quindle)
set(CPACK_PACKAGE_VENDOR "The Quindle developers")
set(CPACK_PACKAGE_CONTACT "The Quindle developers <developers@quindle.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ROT-n letter-rotation cipher tool")
# Debian wants extended description lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION "Quindle enciphers and deciphers text with the ROT-n letter-rotation
cipher. Its AutoRot finds the level of a ciphered text with an editable
word list.")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_STRIP_FILES ON)
if(WIN32)
    set(CPACK_GENERATOR NSIS)
else()
    set(CPACK_GENERATOR DEB)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The program loads Wine's Tahoma when the system has none, so the window's captions fit.
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-wine)
# In a Wayland session (Plasma and GNOME by default) Qt's Wayland plugin makes Quindle a native Wayland
# client; without it Qt falls back to Xwayland, where the program still works. So, as Debian's packages
# of Qt programs do, recommended and not required: apt installs it by default, an X11-only system may
# leave it out. The name is the same in Debian 12 and 13.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
if(quindle_wordlist_etc)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PROJECT_BINARY_DIR}/packaging/conffiles")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()
include(CPack)

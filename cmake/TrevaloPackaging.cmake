# What `cmake --install` puts under the prefix, and the Debian package CPack builds from it:
# the program, its desktop entry, its icon in the theme's sizes and the licences. The camera
# simulator, the tools and the tests stay in the build tree.
include(GNUInstallDirs)

set(TREVALO_ICON_SIZES 16 24 32 48 64 128 256)
set(TREVALO_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(TREVALO_ICONS)
foreach(size ${TREVALO_ICON_SIZES})
    list(APPEND TREVALO_ICONS ${TREVALO_ICON_DIR}/${size}x${size}/apps/trevalo.png)
endforeach()
add_custom_command(OUTPUT ${TREVALO_ICONS}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
        $<TARGET_FILE:trevalo_iconsizes> ${CMAKE_SOURCE_DIR}/resources/images/icon.png
        ${TREVALO_ICON_DIR} ${TREVALO_ICON_SIZES}
    DEPENDS trevalo_iconsizes ${CMAKE_SOURCE_DIR}/resources/images/icon.png
    COMMENT "Scaling the program's icon")
add_custom_target(trevalo_icons ALL DEPENDS ${TREVALO_ICONS})

install(TARGETS trevalo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/trevalo.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${TREVALO_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
set(TREVALO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/trevalo)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright
    ${CMAKE_SOURCE_DIR}/resources/fonts/OFL.txt DESTINATION ${TREVALO_DOC_DIR})
if(EXISTS ${CMAKE_SOURCE_DIR}/LICENSE)
    install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${TREVALO_DOC_DIR})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trevalo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Trevalo")
set(CPACK_PACKAGE_CONTACT "The Trevalo developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Films horse races with robotic PTZ cameras")
set(CPACK_PACKAGE_DESCRIPTION "Trevalo drives PTZ cameras over VISCA-over-IP: the operator \
stores each camera's view at each waypoint of the course, and a race plays the stored positions \
back, waiting until every camera of a waypoint has arrived.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
# dpkg-shlibdeps (dpkg-dev) turns the Qt libraries the program links into Debian's packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

# The desktop's files for the installed game and the Debian package of the
# whole install tree (CPack's DEB generator; scripts/package.sh runs it).
# Included from the top CMakeLists.txt after the game's own install rules.

# Where the project is published: the AppStream id is this address turned
# round, and the software centres fetch the screenshots from it.
set(QUORVANE_HOMEPAGE "https://quorvane.example" CACHE STRING "The game's public web address")
set(QUORVANE_APP_ID "example.quorvane.Quorvane" CACHE STRING "The AppStream component id")
set(QUORVANE_MAINTAINER "Quorvane developers <maintainer@quorvane.example>"
    CACHE STRING "The package's maintainer, name and address")

set(QUORVANE_DIST ${CMAKE_SOURCE_DIR}/dist)
set(QUORVANE_DIST_OUT ${CMAKE_BINARY_DIR}/dist)
configure_file(${QUORVANE_DIST}/quorvane.metainfo.xml.in
               ${QUORVANE_DIST_OUT}/${QUORVANE_APP_ID}.metainfo.xml @ONLY)
# Compressed as Debian wants them: best compression, no name or time stamp,
# so the same source gives the same bytes.
foreach(file quorvane.6 changelog)
    add_custom_command(OUTPUT ${QUORVANE_DIST_OUT}/${file}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${QUORVANE_DIST_OUT}
        COMMAND gzip -9nc ${QUORVANE_DIST}/${file} > ${QUORVANE_DIST_OUT}/${file}.gz
        DEPENDS ${QUORVANE_DIST}/${file}
        VERBATIM)
endforeach()
add_custom_target(quorvane_dist ALL
    DEPENDS ${QUORVANE_DIST_OUT}/quorvane.6.gz ${QUORVANE_DIST_OUT}/changelog.gz)

install(FILES ${QUORVANE_DIST}/quorvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUORVANE_DIST_OUT}/${QUORVANE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 24 32 48 64 128 256)
    install(FILES ${CMAKE_BINARY_DIR}/assets/icons/quorvane-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME quorvane.png)
endforeach()
install(FILES ${QUORVANE_DIST_OUT}/quorvane.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${QUORVANE_DIST}/copyright ${QUORVANE_DIST_OUT}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quorvane developers")
set(CPACK_PACKAGE_CONTACT ${QUORVANE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "top-down action game in an underground fortress")
set(CPACK_PACKAGE_DESCRIPTION "\
Blade, a lone swordfighter in a dark long coat, walks through the
torch-lit halls of an underground fortress, strings light and heavy
sword slashes into combos and dashes through enemies in slowed time.
Soldiers shoot, heavies strike, biohazard troopers gas the room and a
Commander teleports and duels. The story is a sequence of levels made
of rooms joined by doors, and an endless mode generates fresh rooms.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # quorvane_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUORVANE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUORVANE_HOMEPAGE})
# The libraries the executable links, with the versions it needs, as
# dpkg-shlibdeps reads them from the binary.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)

# `cpack -G DEB` in the build folder: the Debian package of everything that
# `cmake --install` puts under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wzqxprog)
set(CPACK_PACKAGE_VENDOR "wzqxprog")
set(CPACK_PACKAGE_CONTACT "wzqxprog developers <wzqxprog@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "WZ/QX series program time switch schedule editor")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Creates and edits the week, special and year programs of the WZ/QX series\n"
       "program time switches and writes the program file WZ48PROG.dat that the\n"
       "time switch reads. Japanese user interface.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Everything `cmake --install` installs, and the changelog and the checker's
# overrides that only the package carries.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};wzqxprog;ALL;/" "${CMAKE_BINARY_DIR};wzqxprog;debian;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# A new version needs its own changelog entry.
file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/changelog" newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^wzqxprog \\(${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}\\) ")
  message(FATAL_ERROR "dist/changelog does not begin with version ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}: ${newest}")
endif()
# The shared libraries the binary links come from dpkg-shlibdeps; what it
# cannot see is loaded at run time: the SQLite driver of Qt SQL (no store and
# no `check` without it), Qt's Japanese texts, the CJK fonts and the
# GStreamer plugins that decode the chime tunes.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, qt6-translations-l10n, fonts-noto-cjk, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
include(CPack)

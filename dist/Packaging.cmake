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
# The version is written out in the changelog, the manual page and the
# AppStream release list as well; a new version has to reach all three.
foreach(check IN ITEMS "changelog|wzqxprog (${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})"
                       "wzqxprog.1|\"wzqxprog ${PROJECT_VERSION}\""
                       "io.github.wzqxprog.wzqxprog.metainfo.xml|<release version=\"${PROJECT_VERSION}\"")
  string(REPLACE "|" ";" check "${check}")
  list(GET check 0 file)
  list(GET check 1 text)
  file(READ "${CMAKE_CURRENT_LIST_DIR}/${file}" content)
  string(FIND "${content}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "dist/${file} does not name version ${PROJECT_VERSION}: ${text}")
  endif()
endforeach()
# The shared libraries the binary links come from dpkg-shlibdeps; what it
# cannot see is loaded at run time: the SQLite driver of Qt SQL (no store and
# no `check` without it), Qt's Japanese texts, the CJK fonts and the
# GStreamer plugins that decode the chime tunes.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, qt6-translations-l10n, fonts-noto-cjk, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
include(CPack)

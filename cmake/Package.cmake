# The Debian package: `cpack -G DEB` in the build folder (scripts/package.sh) makes
# sw30415_<version>-<revision>_amd64.deb of what `cmake --install` installs, under /usr.
set(CPACK_PACKAGE_NAME sw30415)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Brimtor")
set(CPACK_PACKAGE_CONTACT "Brimtor <info@brimtor.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Firmware update tool for the SW30415 serial/fibre-optic converter")
set(CPACK_PACKAGE_DESCRIPTION "The window SW30415 and the command-line program sw30415 update the \
converter's firmware through its boot loader; sw30415-sim simulates the device on a pseudo-terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The libraries come from the binaries (dpkg-shlibdeps); the window's platform plugin is loaded at
# run time, so no binary names it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(SW_WITH_QT)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()

# A Debian revision after the product's version: the package's own changes (packaging/changelog.Debian)
# count apart from the program's, and lintian then takes it for a packaged upstream, not a native one.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# Lines of at most 80 characters, as apt shows them on a terminal.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The SW30415 converts between RS232, RS485 or USB serial lines and a
fibre-optic link. This package updates its firmware through its boot loader:
the window SW30415 for a technician at a bench, the command-line program
sw30415 for scripts and production lines (several devices at once, records in
JSON, backing up and verifying a device's firmware, its port settings,
protection word and MAC address), and sw30415-sim, a simulated device on a
pseudo-terminal to try them on.")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.brimtor.example/HOME/default.asp?frompg=SW30415")
# On Windows the installer and the zip; elsewhere the pages, the completion, the metainfo and the
# documents Debian asks for, after the variables above, which they name.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsPackage.cmake)
else()
  add_subdirectory(packaging)
endif()
include(CPack)

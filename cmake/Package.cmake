# The Debian package: `cpack -G DEB` in the build folder (scripts/package.sh) makes
# sw30415_<version>_amd64.deb of what `cmake --install` installs, under /usr.
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
include(CPack)

# The Windows program's folder: beside the programs, Qt's DLLs, the platform and style plugins and the
# MinGW run time, stripped. `cpack` in the build folder makes of it the 64-bit installer
# sw30415-<version>-win64.exe (NSIS) and the same files as sw30415-<version>-win64.zip.
if(SW_WITH_QT)
  # The run time's DLLs, stripped once into the build folder: the tests under Wine load them there.
  set(SW_RUNTIME_DIR ${CMAKE_BINARY_DIR}/runtime)
  file(MAKE_DIRECTORY ${SW_RUNTIME_DIR})
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE found
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${found}")
      message(FATAL_ERROR "The MinGW run time's ${dll} was not found")
    endif()
    execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${SW_RUNTIME_DIR}/${dll} ${found}
                    COMMAND_ERROR_IS_FATAL ANY)
    install(FILES ${SW_RUNTIME_DIR}/${dll} DESTINATION ${CMAKE_INSTALL_BINDIR})
  endforeach()
  install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
          DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION ${CMAKE_INSTALL_BINDIR}/platforms)
  install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION ${CMAKE_INSTALL_BINDIR}/styles)
endif()

set(CPACK_GENERATOR NSIS ZIP)
# The programs sit at the top of the installed folder, not under the Debian package's /usr.
unset(CPACK_PACKAGING_INSTALL_PREFIX)
set(CPACK_PACKAGE_INSTALL_DIRECTORY sw30415)
set(CPACK_NSIS_DISPLAY_NAME "SW30415 Firmware Update")
set(CPACK_NSIS_PACKAGE_NAME "SW30415 Firmware Update")
# CPack's default installer is 32-bit and installs nothing under a 64-bit Windows' Program Files.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/pictures/logo.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/pictures/logo.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME SW30415.exe)
# No uninstall of an older version first: where its folder was deleted by hand, CPack's installer
# waits on an "Uninstall failed." box that a silent install (/S) never shows, and hangs for good.
# A new version installs over the old one's files and registry entry as it stands.
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL OFF)
# The Start menu's entry: the window, with the icon its program carries.
set(CPACK_PACKAGE_EXECUTABLES SW30415 "SW30415 Firmware Update")

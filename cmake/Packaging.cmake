# Install rules and packages: a .deb on Linux (programs, desktop entry, icon) and
# a zip of the .exe files with a short README on Windows.
set(velk_programs velkreader meter-sim carrier-sim)
foreach(gui_program VelkReader VelkView)
  if(TARGET ${gui_program})
    list(APPEND velk_programs ${gui_program})
  endif()
endforeach()

set(CPACK_PACKAGE_NAME velkreader)
set(CPACK_PACKAGE_VENDOR "VelkReader developers")
set(CPACK_PACKAGE_CONTACT "VelkReader developers <velkreader@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Reads heat meters, flow meters and pulse counters, decodes and reports")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)

if(WIN32)
  # Everything at the top of one folder: the programs find their files beside them.
  install(TARGETS ${velk_programs} RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/README-Windows.txt DESTINATION . RENAME README.txt)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  include(GNUInstallDirs)
  install(TARGETS ${velk_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  if(TARGET VelkReader)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/velkreader.desktop ${PROJECT_SOURCE_DIR}/packaging/velkview.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/velkreader.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  endif()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  # The library packages the programs need, found from the programs themselves.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()
include(CPack)

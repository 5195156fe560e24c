# `cmake --install` puts the program, its desktop entry and its icon in the
# usual places; `cpack -G DEB` makes a Debian package whose library
# dependencies dpkg-shlibdeps works out from the binary.
include(GNUInstallDirs)
if(TARGET taliard)
  install(TARGETS taliard RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ui/resources/taliard.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ui/resources/taliard.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
endif()

set(CPACK_PACKAGE_NAME taliard)
set(CPACK_PACKAGE_VENDOR "Taliard developers")
set(CPACK_PACKAGE_CONTACT "Taliard developers <taliard@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Serial-port terminal with capture and XMODEM file transfer")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)

# `cmake --install` puts the stripped program, its desktop entry, icons,
# manual page, copyright and changelog in the usual places under the prefix
# (/usr/local unless told); `cpack -G DEB` makes a Debian package under /usr
# whose library dependencies dpkg-shlibdeps works out from the binary.
include(GNUInstallDirs)
if(TARGET taliard)
  # Debian wants manual pages and changelogs compressed, without time stamps.
  set(docs_dir ${CMAKE_CURRENT_BINARY_DIR}/packaging)
  add_custom_command(
    OUTPUT ${docs_dir}/taliard.1.gz ${docs_dir}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${docs_dir}
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/packaging/taliard.1 > ${docs_dir}/taliard.1.gz
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/packaging/changelog > ${docs_dir}/changelog.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/taliard.1 ${PROJECT_SOURCE_DIR}/packaging/changelog
    VERBATIM)
  add_custom_target(taliard_docs DEPENDS ${docs_dir}/taliard.1.gz ${docs_dir}/changelog.gz)
  add_dependencies(taliard taliard_docs)

  # Stripped without --strip: the script tests this before it installs a target.
  install(CODE "set(CMAKE_INSTALL_DO_STRIP TRUE)")
  install(TARGETS taliard RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ui/resources/taliard.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(DIRECTORY ui/resources/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
  install(FILES ${docs_dir}/taliard.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES packaging/copyright ${docs_dir}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/taliard)
endif()

set(CPACK_PACKAGE_NAME taliard)
# All four parts; CPack would otherwise stop at the third.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Taliard developers")
set(CPACK_PACKAGE_CONTACT "The Taliard developers <taliard@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "serial-port terminal with capture and XMODEM file transfer")
set(CPACK_PACKAGE_DESCRIPTION "Taliard is a desktop terminal for engineers who program and talk to boards
over a serial line. One window chooses a port (COM1 to COM32) and its line
settings, shows what arrives as text in the user's encoding, sends typed
text and keystrokes, captures every received byte to a file, and sends a
file to the board with XMODEM (checksum, CRC or 1K CRC) with a progress bar.
The window's labels are in simplified Chinese. A built-in demo board
(taliard --demo) lets the program be tried without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)

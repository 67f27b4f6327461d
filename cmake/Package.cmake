# Install rules and the Debian package (cpack -G DEB from the build folder).
install(TARGETS Spirelo Glimmora demo-show RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/spirelo.desktop packaging/glimmora.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/spirelo.svg packaging/glimmora.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# udev reads lib/udev/rules.d under the prefix, whatever the library folder is called.
install(FILES packaging/60-spirelo-ftdi.rules DESTINATION lib/udev/rules.d)

set(CPACK_PACKAGE_NAME spirelo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Spirelo maintainers <spirelo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Music-synchronised fountain show controller and its 3D visualiser")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Spirelo plays the music as the show clock, drives 32 sequencers of DMX scenes
and sends the frame to an FTDI-based USB-DMX interface; Glimmora renders the
fountain in 3D from the levels the controller publishes.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)

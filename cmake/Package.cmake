# Install rules and the Debian package (cpack -G DEB from the build folder).
install(TARGETS Spirelo Glimmora demo-show RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/spirelo.desktop packaging/glimmora.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/spirelo.svg packaging/glimmora.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# udev reads lib/udev/rules.d under the prefix, whatever the library folder is called.
install(FILES packaging/60-spirelo-ftdi.rules DESTINATION lib/udev/rules.d)

# Who answers for the package: its Maintainer field, the changelog's signature and the copyright's contact.
set(SPIRELO_MAINTAINER "Spirelo maintainers <fountains@spirelo.example.org>" CACHE STRING
  "Maintainer of the Debian package: Name <address>")

# The man pages and the changelog are compressed as Debian has them: gzip -9n, no name or time
# inside, so the same tree gives the same files.
find_program(SPIRELO_GZIP gzip REQUIRED)
set(doc_dir ${PROJECT_BINARY_DIR}/packaging)
set(docs_made "")
function(spirelo_gzip source target)
  add_custom_command(OUTPUT ${target}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${target}
    COMMAND ${SPIRELO_GZIP} -9nf ${target}
    DEPENDS ${source} VERBATIM)
  set(docs_made ${docs_made} ${target}.gz PARENT_SCOPE)
endfunction()
foreach(page Spirelo Glimmora demo-show)
  spirelo_gzip(${PROJECT_SOURCE_DIR}/packaging/man/${page}.1 ${doc_dir}/man/${page}.1)
  install(FILES ${doc_dir}/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
if(SPIRELO_VERSION_COMMIT)
  set(changelog_line "Built from commit ${SPIRELO_VERSION_COMMIT}; the tree's history lists the changes.")
else()
  set(changelog_line "Built from a tree of version ${PROJECT_VERSION} without its history.")
endif()
configure_file(packaging/changelog.in ${doc_dir}/changelog.txt @ONLY)
spirelo_gzip(${doc_dir}/changelog.txt ${doc_dir}/doc/changelog)
configure_file(packaging/copyright.in ${doc_dir}/doc/copyright @ONLY)
add_custom_target(package_docs ALL DEPENDS ${docs_made})
install(FILES ${doc_dir}/doc/copyright ${doc_dir}/doc/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/spirelo)

set(CPACK_PACKAGE_NAME spirelo)
set(CPACK_PACKAGE_VERSION ${SPIRELO_VERSION})
set(CPACK_PACKAGE_CONTACT "${SPIRELO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Music-synchronised fountain show controller and its 3D visualiser")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Spirelo plays the music as the show clock, drives 32 sequencers of DMX scenes
and sends the frame to an FTDI-based USB-DMX interface; Glimmora renders the
fountain in 3D from the levels the controller publishes.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The virtual screen of the headless form (xvfb-run) and the cookie it hands the programs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xvfb, xauth")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)

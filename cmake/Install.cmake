# What `cmake --install` puts where: the program, its desktop entry, icons, AppStream metainfo and
# man page, in the places the desktop and Debian look for them.
include(GNUInstallDirs)

set(VANTREL_DATA_DIR ${PROJECT_SOURCE_DIR}/data)

install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VANTREL_DATA_DIR}/${VANTREL_BUNDLE_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VANTREL_DATA_DIR}/${VANTREL_BUNDLE_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${VANTREL_DATA_DIR}/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Debian ships man pages compressed; -n leaves the time and name out, so the file is reproducible.
find_program(VANTREL_GZIP gzip REQUIRED)
set(manpage ${PROJECT_BINARY_DIR}/data/vantrel.1)
add_custom_command(
  OUTPUT ${manpage}.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${VANTREL_DATA_DIR}/vantrel.1 ${manpage}
  COMMAND ${VANTREL_GZIP} -9 -n -f ${manpage}
  DEPENDS ${VANTREL_DATA_DIR}/vantrel.1
  COMMENT "Compressing the man page"
  VERBATIM)
add_custom_target(vantrel_manpage ALL DEPENDS ${manpage}.gz)
# Building the program is enough to install it.
add_dependencies(vantrel vantrel_manpage)
install(FILES ${manpage}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

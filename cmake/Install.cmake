# What an installed copy holds, and the packages made of it (scripts/package):
# a Debian package on Linux, a zip from the Windows cross-build.

install(TARGETS orvanel-convert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET orvanel)
  install(TARGETS orvanel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The user guide, the README and the example manual with its site files.
install(FILES src/app/Help.txt README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY examples/manual DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
        PATTERN "make-pictures.py" EXCLUDE)

if(NOT WIN32)
  set(packaging ${PROJECT_SOURCE_DIR}/packaging)
  set(generated ${PROJECT_BINARY_DIR}/packaging)

  # Manual pages, compressed as the system keeps them.
  find_program(ORVANEL_GZIP gzip REQUIRED)
  set(ORVANEL_MAN_DOCDIR ${CMAKE_INSTALL_FULL_DOCDIR})
  set(pages orvanel-convert)
  if(TARGET orvanel)
    list(APPEND pages orvanel)
  endif()
  set(compressed)
  foreach(page IN LISTS pages)
    configure_file(${packaging}/man/${page}.1.in ${generated}/${page}.1 @ONLY)
    add_custom_command(OUTPUT ${generated}/${page}.1.gz
      COMMAND ${ORVANEL_GZIP} -9nf -k ${generated}/${page}.1
      DEPENDS ${generated}/${page}.1 VERBATIM)
    list(APPEND compressed ${generated}/${page}.1.gz)
  endforeach()

  # A Debian package names its own changelog and copyright.
  configure_file(${packaging}/debian/changelog.in ${generated}/changelog @ONLY)
  add_custom_command(OUTPUT ${generated}/changelog.gz
    COMMAND ${ORVANEL_GZIP} -9nf -k ${generated}/changelog
    DEPENDS ${generated}/changelog VERBATIM)
  add_custom_target(orvanel_packaging_files ALL DEPENDS ${compressed} ${generated}/changelog.gz)

  install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${packaging}/debian/copyright ${generated}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DOCDIR})

  if(TARGET orvanel)
    install(FILES ${packaging}/orvanel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${packaging}/icons/orvanel.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size 16 22 24 32 48 64 128 256)
      install(FILES ${packaging}/icons/orvanel-${size}.png
              DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
              RENAME orvanel.png)
    endforeach()
  endif()
endif()

# --- packages ------------------------------------------------------------------

set(CPACK_PACKAGE_NAME orvanel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orvanel developers")
set(CPACK_PACKAGE_CONTACT "Orvanel developers <orvanel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert a structured text document into a frame-based help site")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvanel turns one structured plain-text document into the HTML pages of a
frame-based help or manual site: the content, a table of contents, a row of
outline-level buttons and a glossary, each starting from a template the
author keeps beside the source. A full conversion also links the glossary
expressions used in the text to where they are defined.
.
The package holds the window (orvanel), the same conversion for scripts
(orvanel-convert), the user guide and an example manual.")
set(CPACK_STRIP_FILES ON)
# Directories as the system expects them, whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_PACKAGE_FILE_NAME orvanel-${PROJECT_VERSION}-win64)
  else()
    set(CPACK_PACKAGE_FILE_NAME orvanel-${PROJECT_VERSION}-win32)
  endif()
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION text)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
endif()
include(CPack)

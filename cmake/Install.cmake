# Desktop integration and the Debian package.
# The executable's own install rule sits beside its target; this file adds what a desktop
# needs to find and show Lumicut, and the CPack settings behind `make package`.

include(GNUInstallDirs)

set(LUMICUT_APP_ID "org.lumicut.Lumicut")
set(LUMICUT_PACKAGING_DIR "${CMAKE_CURRENT_SOURCE_DIR}/packaging")

# Honours SOURCE_DATE_EPOCH, so package builds are reproducible.
string(TIMESTAMP LUMICUT_RELEASE_DATE "%Y-%m-%d" UTC)
configure_file("${LUMICUT_PACKAGING_DIR}/${LUMICUT_APP_ID}.metainfo.xml.in"
               "${CMAKE_CURRENT_BINARY_DIR}/${LUMICUT_APP_ID}.metainfo.xml" @ONLY)

install(FILES "${LUMICUT_PACKAGING_DIR}/${LUMICUT_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/${LUMICUT_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
foreach(size 16 32 48 64 128 256)
  install(FILES "${LUMICUT_PACKAGING_DIR}/icons/hicolor/${size}x${size}/apps/${LUMICUT_APP_ID}.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
endforeach()
install(FILES "${LUMICUT_PACKAGING_DIR}/icons/${LUMICUT_APP_ID}.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")

# The batch program's manual pages, English and French, compressed as Debian ships them.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(LUMICUT_MAN_PAGES "")
foreach(lang en fr)
  if(lang STREQUAL "en")
    set(page_source "${LUMICUT_PACKAGING_DIR}/man/lumicut-batch.1")
    set(page_dir "${CMAKE_INSTALL_MANDIR}/man1")
  else()
    set(page_source "${LUMICUT_PACKAGING_DIR}/man/${lang}/lumicut-batch.1")
    set(page_dir "${CMAKE_INSTALL_MANDIR}/${lang}/man1")
  endif()
  set(page "${CMAKE_CURRENT_BINARY_DIR}/man/${lang}/lumicut-batch.1.gz")
  add_custom_command(OUTPUT "${page}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_CURRENT_BINARY_DIR}/man/${lang}"
    COMMAND ${GZIP_EXECUTABLE} -9nc "${page_source}" > "${page}"
    DEPENDS "${page_source}" VERBATIM)
  list(APPEND LUMICUT_MAN_PAGES "${page}")
  install(FILES "${page}" DESTINATION "${page_dir}")
endforeach()
add_custom_target(man_pages ALL DEPENDS ${LUMICUT_MAN_PAGES})
add_dependencies(lumicut-batch man_pages)

# The packaging check runs `cmake --install` of this very build folder into a fresh prefix.
add_test(NAME package_check
         COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/scripts/package-check"
                 "${CMAKE_CURRENT_BINARY_DIR}" "${LUMICUT_APP_ID}" "${PROJECT_VERSION}")

# Checks of the desktop files by the freedesktop tools, when they are installed.
find_program(APPSTREAMCLI_EXECUTABLE appstreamcli)
if(APPSTREAMCLI_EXECUTABLE)
  add_test(NAME metainfo
           COMMAND ${APPSTREAMCLI_EXECUTABLE} validate --no-net
                   "${CMAKE_CURRENT_BINARY_DIR}/${LUMICUT_APP_ID}.metainfo.xml")
endif()
find_program(DESKTOP_FILE_VALIDATE_EXECUTABLE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE_EXECUTABLE)
  add_test(NAME desktop_entry
           COMMAND ${DESKTOP_FILE_VALIDATE_EXECUTABLE}
                   "${LUMICUT_PACKAGING_DIR}/${LUMICUT_APP_ID}.desktop")
endif()

# Debian package: `cmake --build build --target package` (or `make package`).
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "lumicut")
set(CPACK_PACKAGE_VENDOR "Lumicut")
set(CPACK_PACKAGE_CONTACT "Lumicut <contact@lumicut.example.org>")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "crop a folder of photos to print formats")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "lumicut")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${LUMICUT_SITE}")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Lumicut crops the JPEG photos of a folder to print formats, one photo after\n\
another: a crop frame of the chosen format is laid over each photo, its colour\n\
and a gauge tell whether the crop has enough pixels for the print, and Enter\n\
writes the result as a JPEG file named from a mask. The interface is in French.\n\
The lumicut-batch command applies the same crops, names and metadata rules to a\n\
whole folder from the command line.")
# Runtime packages of Debian 12; the Qt platform plugins and the French Qt texts are not
# shared-library dependencies, so they are listed by hand with the rest.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), libqt6svg6 (>= 6.4), qt6-qpa-plugins, qt6-translations-l10n, libturbojpeg0, libexiv2-27, fonts-liberation2")
find_program(DPKG_SHLIBDEPS_EXECUTABLE dpkg-shlibdeps)
if(DPKG_SHLIBDEPS_EXECUTABLE)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)

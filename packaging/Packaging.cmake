# Install rules and the Debian package (CPack's DEB generator; ./package builds it).
#
# The version is the project's version: the package, the AppStream release, the manual page and
# the changelog all take it from here. The release date is set here too.
include(GNUInstallDirs)

set(VIMBRA_RELEASE_DATE 2026-12-08)
set(VIMBRA_APP_ID lab.kestrov.VimbraGenerator)
# The maintainer's address is the one the project's commits carry. The project has no published
# web address yet: the screenshot's address is a placeholder under the reserved .example domain
# until the release sets the real one.
set(VIMBRA_MAINTAINER "Kestrov Lab <maintainers@users.noreply.c-seed-19fd74b6.example>"
    CACHE STRING "Maintainer of the Debian package")
set(VIMBRA_SCREENSHOT_URL "https://vimbra-generator.example/docs/window.png"
    CACHE STRING "Web address of docs/window.png, the screenshot in the AppStream metadata")

find_program(GZIP_EXECUTABLE gzip REQUIRED)
find_program(DATE_EXECUTABLE date REQUIRED)
execute_process(COMMAND ${DATE_EXECUTABLE} -u -R -d "${VIMBRA_RELEASE_DATE}"
                OUTPUT_VARIABLE VIMBRA_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VIMBRA_MAINTAINER}")

set(packaging_dir ${CMAKE_CURRENT_BINARY_DIR}/packaging)
configure_file(packaging/${VIMBRA_APP_ID}.metainfo.xml.in
               ${packaging_dir}/${VIMBRA_APP_ID}.metainfo.xml @ONLY)
configure_file(packaging/vimbra-generator.1.in ${packaging_dir}/vimbra-generator.1 @ONLY)
configure_file(packaging/changelog.in ${packaging_dir}/changelog @ONLY)

# Debian wants the manual page and the changelog compressed at the highest level, without a
# time stamp or file name in the header (-n), so that builds are reproducible.
set(compressed)
foreach(file vimbra-generator.1 changelog)
  add_custom_command(OUTPUT ${packaging_dir}/${file}.gz
                     COMMAND ${GZIP_EXECUTABLE} -9 -n -k -f ${file}
                     DEPENDS ${packaging_dir}/${file}
                     WORKING_DIRECTORY ${packaging_dir} VERBATIM)
  list(APPEND compressed ${packaging_dir}/${file}.gz)
endforeach()
add_custom_target(vimbra_packaging_files ALL DEPENDS ${compressed})

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/vimbra-generator)
install(TARGETS vimbra-generator RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/${VIMBRA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/vimbra-generator.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${packaging_dir}/${VIMBRA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging_dir}/vimbra-generator.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/copyright ${packaging_dir}/changelog.gz DESTINATION ${doc_dir})

set(CPACK_PACKAGE_NAME vimbra-generator)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kestrov Lab")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sine tone generator with sound zones and effects")
set(CPACK_PACKAGE_DESCRIPTION
    "Kestrov Lab Vimbra Generator plays a continuous sine tone through the desktop's
sound server (PulseAudio or PipeWire). It sets frequency and amplitude within
four sound zones, shows the waveform and a zone indicator, adds flanger, echo
and auto-wah effects, and runs a frequency sweep program and three presets.
The interface is in Russian.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies come from the binary (dpkg-shlibdeps); the window's fonts do not.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation)
# Qt's Wayland platform plugin, so that the window runs natively on a Wayland desktop; without it
# Qt falls back to X11 (XWayland).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_STRIP_FILES ON)
include(CPack)

# Install rules and the Debian package (CPack DEB).
#
#   /usr/bin/                          pcrcal, pcrcal-export, pcrsim and every other command-line
#                                      tool that this build has (pcr_tools below)
#   /usr/share/pcrcal/templates/       the packed report templates
#   /usr/share/pcrcal/manual/{zh,en}/  the user manual
#   /usr/share/applications/           pcrcal.desktop ("PCR 校准")
#   /usr/share/icons/hicolor/          the application icon, PNG per size and SVG
#   /usr/share/man/man1/               one gzipped page per program: packaging/man/<program>.1
#
# The programs find their data relative to themselves (bin/../share/pcrcal, store/Paths.h), so
# the tree works under any prefix. Translations are compiled into the programs.
# `cpack --config <build>/CPackConfig.cmake` builds pcrcal_<version>_<arch>.deb; scripts/package.sh
# does it in a release build of its own.

set(PCR_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/pcrcal)

# Programs, installed when this build has them. A tool written later installs itself by being
# added here, and gets its man page from packaging/man/<tool>.1.
set(pcr_tools pcrcal pcrcal-export pcrcal-probecal pcrcal-dbcopy pcrsim)
set(PCR_PACKAGED_PROGRAMS "")
foreach(program ${pcr_tools})
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    list(APPEND PCR_PACKAGED_PROGRAMS ${program})
  endif()
endforeach()

# Report templates, packed by resources/templates.
get_property(_pcr_templates GLOBAL PROPERTY PCR_TEMPLATE_FILES)
install(FILES ${_pcr_templates} DESTINATION ${PCR_DATA_DESTINATION}/templates)

# The user manual, as the program also carries it in its resources.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/manual/ DESTINATION ${PCR_DATA_DESTINATION}/manual)

set(_pcr_packaging_outputs "")

# Man pages, gzipped without a time stamp (same input, same bytes).
find_program(PCR_GZIP gzip REQUIRED)
set(_man_dir ${CMAKE_BINARY_DIR}/packaging/man)
foreach(program ${PCR_PACKAGED_PROGRAMS})
  set(_page ${CMAKE_SOURCE_DIR}/packaging/man/${program}.1)
  if(NOT EXISTS ${_page})
    message(WARNING "No man page for ${program}: write packaging/man/${program}.1")
    continue()
  endif()
  set(PCR_VERSION ${PROJECT_VERSION})
  configure_file(${_page} ${_man_dir}/${program}.1 @ONLY)
  add_custom_command(OUTPUT ${_man_dir}/${program}.1.gz
    COMMAND ${PCR_GZIP} -9 -n -f -k ${_man_dir}/${program}.1
    DEPENDS ${_man_dir}/${program}.1
    VERBATIM)
  list(APPEND _pcr_packaging_outputs ${_man_dir}/${program}.1.gz)
  install(FILES ${_man_dir}/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# The application icon in the sizes the desktop's menus and launchers ask for, rendered from the
# same drawing as the window icon.
set(_icon_svg ${CMAKE_SOURCE_DIR}/resources/icons/PCR.svg)
set(_icon_dir ${CMAKE_BINARY_DIR}/packaging/icons)
foreach(size 16 22 24 32 48 64 128 256 512)
  set(_png ${_icon_dir}/${size}x${size}/pcrcal.png)
  add_custom_command(OUTPUT ${_png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_icon_dir}/${size}x${size}
    COMMAND pcr_svg2png ${_icon_svg} ${_png} ${size}x${size}
    DEPENDS pcr_svg2png ${_icon_svg}
    VERBATIM)
  list(APPEND _pcr_packaging_outputs ${_png})
  install(FILES ${_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${_icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME pcrcal.svg)

install(FILES ${CMAKE_SOURCE_DIR}/packaging/pcrcal.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

add_custom_target(pcr_packaging_files ALL DEPENDS ${_pcr_packaging_outputs})

# Everything the package holds, for building only that (scripts/package.sh).
add_custom_target(pcr_package_contents)
add_dependencies(pcr_package_contents pcr_packaging_files pcr_templates ${PCR_PACKAGED_PROGRAMS})

# The Debian package.
# Installing (and cpack) takes the programs as built: it does not first build every test and
# benchmark of the tree. Build pcr_package_contents (or all) before.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pcrcal)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "PCR calibration")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "temperature calibration of PCR thermal cyclers")
# The summary line comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Desktop application for calibrating the temperature of PCR thermal cyclers: registries of
instruments, probe sets, cycle files and probe layouts; calibration runs sampling a
multichannel collector; uniformity, deviation and heating/cooling rate analysis; calibration
certificates, original records and raw-data workbooks; probe calibration in a temperature
bath; users with rights and a hash-chained audit trail.
.
Also installs pcrcal-export (exports without a display) and pcrsim (instrument simulator).")
set(PCR_PACKAGE_MAINTAINER "PCR calibration maintainers <pcrcal@localhost>" CACHE STRING
    "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PCR_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)   # pcrcal_<version>_<arch>.deb
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Libraries the programs link come from dpkg-shlibdeps; the rest are needed at run time only:
# the Qt SQLite driver is a plugin, and without a CJK font the Chinese interface shows boxes.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5sql5-sqlite, fonts-noto-cjk")
# PDF reports need LibreOffice Writer (the program says so when it is missing); the manual opens
# through xdg-open; Qt's own dialog buttons are translated by qttranslations5-l10n.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-writer-nogui | libreoffice-writer, xdg-utils, qttranslations5-l10n")
# Only what this file installs goes into the package.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/")
include(CPack)

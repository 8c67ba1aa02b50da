# Installing MAROVI (`cmake --install build`): the two programs, a desktop entry with its icon
# and the simulation file type (MAROVI appears in the applications menu and opens .mgf
# files), the man pages, the examples and the user guide. `cpack -G DEB` in the build
# directory makes a Debian package of the same files.
include(GNUInstallDirs)
set(MAROVI_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(MAROVI_MAN ${CMAKE_BINARY_DIR}/man)

if(TARGET marovi-cli)
  install(TARGETS marovi-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET marovi-cli AND NOT MAROVI_SANITIZE)
  # Made from the program's help, so it always lists what this build has; compressed as
  # Debian keeps man pages. Sanitizer builds are never installed and skip it.
  add_custom_command(OUTPUT ${MAROVI_MAN}/marovi-cli.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${MAROVI_MAN}
    COMMAND bash ${MAROVI_PACKAGING}/manpage.sh $<TARGET_FILE:marovi-cli> ${PROJECT_VERSION} ${MAROVI_MAN}/marovi-cli.1
    COMMAND gzip -9nf ${MAROVI_MAN}/marovi-cli.1
    DEPENDS marovi-cli ${MAROVI_PACKAGING}/manpage.sh
    VERBATIM)
  add_custom_target(marovi_cli_manpage ALL DEPENDS ${MAROVI_MAN}/marovi-cli.1.gz)
  install(FILES ${MAROVI_MAN}/marovi-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

if(TARGET marovi)
  install(TARGETS marovi RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  add_custom_command(OUTPUT ${MAROVI_MAN}/marovi.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${MAROVI_MAN}
    COMMAND gzip -9n -c ${MAROVI_PACKAGING}/marovi.1 > ${MAROVI_MAN}/marovi.1.gz
    DEPENDS ${MAROVI_PACKAGING}/marovi.1)
  add_custom_target(marovi_manpage ALL DEPENDS ${MAROVI_MAN}/marovi.1.gz)
  install(FILES ${MAROVI_MAN}/marovi.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${MAROVI_PACKAGING}/marovi.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${MAROVI_PACKAGING}/marovi.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${MAROVI_PACKAGING}/marovi.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
endif()

install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/marovi/examples)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/scripts/sweep_parallel.sh ${CMAKE_SOURCE_DIR}/scripts/sweep_slurm.sh
        DESTINATION ${CMAKE_INSTALL_DATADIR}/marovi/scripts)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/marovi)

# The Debian package: its dependencies are the libraries the programs link (Debian 12's Qt 6
# and toml++ runtime packages among them), found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marovi)
set(CPACK_PACKAGE_VENDOR "MAROVI")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "individual-based simulation of sessile communities on a grid")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "MAROVI developers")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Python module, when it is built, needs numpy, and pandas for sweeps as tables.
if(TARGET marovi_python)
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-numpy, python3-pandas")
endif()
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "MAROVI simulates sessile organisms (sponges, corals, plants ...) individual by
individual on a grid of cells with a landscape, a flow field, a species pool and a
disturbance regime, and analyses the patterns: diversity and similarity indices,
clusters, succession states, rank-abundance plots, transects and histograms. The
package holds the desktop program marovi, the headless runner marovi-cli for scripts,
replicates and parameter sweeps, the Python module marovi, the examples and the user guide.")
include(CPack)

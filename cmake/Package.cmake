# `make install` and `make package`: both programs, the desktop entry and its
# icon, the manual pages and the documents, and a Debian package of them that
# names the runtime packages of Qt, QCustomPlot and libtelnet it needs.
include(GNUInstallDirs)
find_program(GZIP_PROGRAM gzip REQUIRED)
# kiss488-sim's manual page is its --help, so the two never disagree.
find_program(HELP2MAN_PROGRAM help2man REQUIRED)

set(QUILLSTONE_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(QUILLSTONE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillstone)
add_custom_command(
  OUTPUT ${QUILLSTONE_MAN_DIR}/quillstone.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLSTONE_MAN_DIR}
  COMMAND sh -c "${GZIP_PROGRAM} -9nc \"$0\" > \"$1\"" ${CMAKE_SOURCE_DIR}/docs/quillstone.1
          ${QUILLSTONE_MAN_DIR}/quillstone.1.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/docs/quillstone.1
  VERBATIM)
add_custom_command(
  OUTPUT ${QUILLSTONE_MAN_DIR}/kiss488-sim.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLSTONE_MAN_DIR}
  COMMAND ${HELP2MAN_PROGRAM} --no-info --no-discard-stderr --version-string=${PROJECT_VERSION}
          "--name=simulated KISS-488 GPIB-LAN adapter with a voltmeter behind it"
          --output=${QUILLSTONE_MAN_DIR}/kiss488-sim.1 $<TARGET_FILE:kiss488-sim>
  COMMAND ${GZIP_PROGRAM} -9nf ${QUILLSTONE_MAN_DIR}/kiss488-sim.1
  DEPENDS kiss488-sim
  VERBATIM)
add_custom_target(manual-pages ALL
  DEPENDS ${QUILLSTONE_MAN_DIR}/quillstone.1.gz ${QUILLSTONE_MAN_DIR}/kiss488-sim.1.gz)

install(TARGETS quillstone kiss488-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES docs/quillstone.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES docs/quillstone.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${QUILLSTONE_MAN_DIR}/quillstone.1.gz ${QUILLSTONE_MAN_DIR}/kiss488-sim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md LICENSE docs/quillstone.service DESTINATION ${QUILLSTONE_DOC_DIR})
# Where Debian looks for a package's licence.
install(FILES LICENSE DESTINATION ${QUILLSTONE_DOC_DIR} RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillstone)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quillstone Logger developers <quillstone@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps reads the libraries the programs link and names the packages
# that hold them, so Depends follows the Qt of the machine that built it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The live page's chart library (libjs-dygraphs) is built into the program
# (src/CMakeLists.txt): needed to build the package, not to run it, so it is
# no Depends.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "data logger for a bench instrument on a GPIB bus over LAN
The KISS-488 GPIB Quillstone Logger polls a bench instrument through a
KISS-488 GPIB-to-LAN adapter (a Telnet service), takes each reply as a
sample, keeps live statistics (count, minimum, maximum, difference, running
mean, RC filter), plots them against UTC on a dual-axis chart and appends
every sample to a CSV data file. It keeps the link alive by itself, and can
reload, empty and print the data.
.
quillstone --headless runs the same logger without a display, for a bench
PC or a small box started by systemd. kiss488-sim, a simulated adapter with
a voltmeter behind it, lets the logger be tried without hardware.")
include(CPack)

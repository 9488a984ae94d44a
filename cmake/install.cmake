# Where `cmake --install` puts Voskel, in the Debian layout: the launcher `voskel` and the
# other programs in bin/, the panel program behind the launcher in libexec/voskel/, the
# clip generator and its table in share/voskel/, the notes, the copyright file and the
# changelog in share/doc/voskel/, the manual pages, and the menu entry with its icon. Then
# the Debian package made from it.
include(GNUInstallDirs)

set(VOSKEL_PANEL_DIR ${CMAKE_INSTALL_LIBEXECDIR}/voskel)
set(VOSKEL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/voskel)

install(TARGETS ar8600-sim voskelcfg voskelbank RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Keeps its name: the window system takes the program's name as the window's class, which
# ties the window to the menu entry voskel.desktop.
install(TARGETS voskel RUNTIME DESTINATION ${VOSKEL_PANEL_DIR})
install(PROGRAMS tools/make-voice-clips DESTINATION ${VOSKEL_DATA_DIR})
install(FILES tools/voice-clips.txt DESTINATION ${VOSKEL_DATA_DIR})

# The launcher finds the programs from its own folder, so the tree works under whatever
# prefix it is installed (a package's /usr, a test's temporary folder).
function(voskel_path_from_bindir var target)
  file(RELATIVE_PATH path ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${target})
  set(${var} ${path} PARENT_SCOPE)
endfunction()
voskel_path_from_bindir(VOSKEL_BIN_TO_PANEL ${VOSKEL_PANEL_DIR}/voskel)
voskel_path_from_bindir(VOSKEL_BIN_TO_SIM ${CMAKE_INSTALL_BINDIR}/ar8600-sim)
voskel_path_from_bindir(VOSKEL_BIN_TO_SETUP ${CMAKE_INSTALL_BINDIR}/voskelcfg)
voskel_path_from_bindir(VOSKEL_BIN_TO_CLIPS ${VOSKEL_DATA_DIR}/make-voice-clips)
configure_file(tools/voskel ${PROJECT_BINARY_DIR}/launcher/voskel @ONLY)
install(PROGRAMS ${PROJECT_BINARY_DIR}/launcher/voskel DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages are installed compressed, as Debian keeps them.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(VOSKEL_MAN_PAGES)
foreach(program voskel ar8600-sim voskelcfg voskelbank)
  set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/man/${program}.1 ${page}
    COMMAND ${GZIP_PROGRAM} -9nf ${page}
    DEPENDS ${PROJECT_SOURCE_DIR}/man/${program}.1
    VERBATIM)
  list(APPEND VOSKEL_MAN_PAGES ${page}.gz)
endforeach()
add_custom_target(voskel_man_pages ALL DEPENDS ${VOSKEL_MAN_PAGES})
install(FILES ${VOSKEL_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# docs/ beside the README, as in the source tree, so that the README's links work there.
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES docs/receiver-link.md docs/simulator.md docs/voice.md docs/panel-states.md
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
install(FILES dist/voskel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES dist/voskel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The Debian package: `cpack --config build/CPackConfig.cmake` (scripts/package).
set(VOSKEL_MAINTAINER "Voskel maintainers <maintainers@users.noreply.c-seed-f3791071.example>"
  CACHE STRING "The Maintainer field of the Debian package")
# What Debian asks of every package's documentation folder: the copyright file and the
# package's changelog, compressed as Debian keeps it.
install(FILES dist/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
set(VOSKEL_PACKAGE_RELEASE 1)
set(VOSKEL_PACKAGE_VERSION ${PROJECT_VERSION}-${VOSKEL_PACKAGE_RELEASE})
set(VOSKEL_CHANGELOG ${PROJECT_BINARY_DIR}/debian/changelog.Debian)
configure_file(dist/debian/changelog.in ${VOSKEL_CHANGELOG} @ONLY)
add_custom_command(OUTPUT ${VOSKEL_CHANGELOG}.gz
  COMMAND ${GZIP_PROGRAM} -9nkf ${VOSKEL_CHANGELOG}
  DEPENDS ${VOSKEL_CHANGELOG}
  VERBATIM)
add_custom_target(voskel_changelog ALL DEPENDS ${VOSKEL_CHANGELOG}.gz)
install(FILES ${VOSKEL_CHANGELOG}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The clip table is the clip generator's data, read from beside it, though lintian takes
# any .txt file for documentation.
install(FILES dist/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
  RENAME voskel)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME voskel)
set(CPACK_PACKAGE_CONTACT ${VOSKEL_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VOSKEL_PACKAGE_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "talking front panel for the AOR AR8600 receiver
Voskel is a desktop window that controls an AOR AR8600 communications
receiver over its serial port, made to be used by ear: every key, result
and change of state is confirmed by a short voice clip. It tunes, steps,
searches and scans, keeps memory banks in files and writes them into the
receiver. A simulated receiver (ar8600-sim), a setup program (voskelcfg) and
a program that turns banks into CSV channel lists and back (voskelbank) come
with it; without a receiver the panel runs against the simulator.")
# The libraries come from dpkg-shlibdeps (BrlAPI's libbrlapi among them); the programs the
# launcher runs to make the voice clips, and a font for the window, from this list.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng, sox, fonts-dejavu-core")
# BRLTTY shows the messages on a braille display, and xbrlapi tells it which X window has
# the focus; only a braille reader needs them, so they are suggested, not brought in.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "brltty, xbrlapi")
include(CPack)

# The packages people install, both at PROJECT_VERSION: on Linux the man page and a Debian package
# made by CPack (`cmake --build DIR --target package`), on Windows the NSIS installer
# kelvaron-setup.exe (`cmake --build DIR --target kelvaron_setup`). scripts/package.sh makes both.
if(WIN32)
  target_compile_definitions(kelvaron_scr PRIVATE
    $<$<COMPILE_LANGUAGE:RC>:KELVARON_VERSION_MAJOR=${PROJECT_VERSION_MAJOR};KELVARON_VERSION_MINOR=${PROJECT_VERSION_MINOR};KELVARON_VERSION_PATCH=${PROJECT_VERSION_PATCH}>)
  find_program(KELVARON_MAKENSIS makensis)
  if(KELVARON_MAKENSIS)
    # The installer carries the screensaver without its debugging information.
    set(scr ${CMAKE_BINARY_DIR}/packaging/kelvaron.scr)
    add_custom_command(
      OUTPUT ${CMAKE_BINARY_DIR}/kelvaron-setup.exe
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
      COMMAND ${CMAKE_STRIP} -o ${scr} $<TARGET_FILE:kelvaron_scr>
      COMMAND ${KELVARON_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSCR=${scr} -DICON=${KELVARON_ICO}
              -DSOURCE=${PROJECT_SOURCE_DIR}
              -DOUTFILE=${CMAKE_BINARY_DIR}/kelvaron-setup.exe ${PROJECT_SOURCE_DIR}/packaging/windows/kelvaron.nsi
      DEPENDS kelvaron_scr ${PROJECT_SOURCE_DIR}/packaging/windows/kelvaron.nsi ${KELVARON_ICO}
              ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES
      COMMENT "Making kelvaron-setup.exe with NSIS"
      VERBATIM)
    add_custom_target(kelvaron_setup DEPENDS ${CMAKE_BINARY_DIR}/kelvaron-setup.exe)
  endif()
  return()
endif()

# Debian's changelog and man pages are installed compressed (gzip -9n: no name or time inside, so the
# package is the same whenever it is made). Dates come from SOURCE_DATE_EPOCH when it is set.
string(TIMESTAMP KELVARON_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP KELVARON_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(KELVARON_MAINTAINER "Kelvaron maintainers <maintainers@users.noreply.c-seed-f8fa3889.example>"
    CACHE STRING "The Debian package's maintainer, as Name <address>")
set(pkg ${CMAKE_BINARY_DIR}/packaging)
configure_file(packaging/kelvaron.6.in ${pkg}/kelvaron.6 @ONLY)
configure_file(packaging/kelvaron-replay.6.in ${pkg}/kelvaron-replay.6 @ONLY)
configure_file(packaging/debian/changelog.in ${pkg}/changelog @ONLY)
set(_docs ${pkg}/kelvaron.6 ${pkg}/kelvaron-replay.6 ${pkg}/changelog)
# The relay's man page goes with the relay, which the cross builds leave out (Linux.cmake).
if(TARGET kelvaron-relay)
  configure_file(packaging/kelvaron-relay.6.in ${pkg}/kelvaron-relay.6 @ONLY)
  list(APPEND _docs ${pkg}/kelvaron-relay.6)
endif()
set(_docs_gz ${_docs})
list(TRANSFORM _docs_gz APPEND .gz)
add_custom_command(
  OUTPUT ${_docs_gz}
  COMMAND gzip -9nf -k ${_docs}
  DEPENDS ${_docs}
  VERBATIM)
# The menu's icon at the sizes desktops look for, drawn from data/kelvaron.svg.
set(icons ${CMAKE_BINARY_DIR}/icons)
add_custom_command(
  OUTPUT ${icons}/hicolor/256x256/apps/kelvaron.png
  COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/make-icons.sh ${icons} png
  DEPENDS ${PROJECT_SOURCE_DIR}/data/kelvaron.svg ${PROJECT_SOURCE_DIR}/scripts/make-icons.sh
  COMMENT "Drawing the hicolor icons"
  VERBATIM)
# What software centres show. Its screenshot must be a web address: where the project publishes
# docs/full-run.png.
set(KELVARON_HOMEPAGE "https://kelvaron.github.io" CACHE STRING
    "The project's web page, under which docs/full-run.png is published as full-run.png")
set(KELVARON_METAINFO io.github.kelvaron.kelvaron.metainfo.xml)
configure_file(data/${KELVARON_METAINFO}.in ${pkg}/${KELVARON_METAINFO} @ONLY)
# Everything installed beside the program, the package's pages and pictures.
add_custom_target(kelvaron_docs ALL DEPENDS ${_docs_gz} ${icons}/hicolor/256x256/apps/kelvaron.png)
install(FILES ${pkg}/kelvaron.6.gz ${pkg}/kelvaron-replay.6.gz DESTINATION share/man/man6)
if(TARGET kelvaron-relay)
  install(FILES ${pkg}/kelvaron-relay.6.gz DESTINATION share/man/man6)
endif()
install(FILES packaging/debian/copyright ${pkg}/changelog.gz DESTINATION share/doc/kelvaron)
install(DIRECTORY ${icons}/hicolor DESTINATION share/icons)
install(FILES ${pkg}/${KELVARON_METAINFO} DESTINATION share/metainfo)
# The metainfo with what it names, the desktop entry and the icon, as installed.
add_test(NAME metainfo COMMAND sh -c "rm -rf \"$1\" && DESTDIR=\"$1\" \"$2\" --install \"$3\" --prefix /usr > /dev/null &&
                                      appstreamcli validate-tree --pedantic --no-net \"$1/usr\""
         sh ${CMAKE_BINARY_DIR}/metainfo-root ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvaron)
set(CPACK_PACKAGE_CONTACT "${KELVARON_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D screensaver and driving toy with three jointed cars")
# Playing together needs a relay; the cross builds have none (Linux.cmake).
if(TARGET kelvaron-relay)
  set(_together "kelvaron --host starts kelvaron-relay, which keeps rooms in which up to three
people drive one world together (kelvaron --join LINK) and serves the page
that drives it from a browser.")
else()
  set(_together "kelvaron --join LINK drives in a room that others share. The relay that keeps
rooms, kelvaron-relay, is not in this architecture's package: kelvaron --host
needs one on PATH.")
endif()
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Three jointed four-wheeled cars share a ground plane with fifty posts, a table
with a hinged flap, a falling plate, a ball and two ramps, simulated with ODE
and drawn with OpenGL in four quadrants: three chase views and an overlay with
the frame rate, the cars' speeds and a map. The keyboard drives the cars.
.
It runs on its own (kelvaron /s), as a preview inside another window, as an
XScreenSaver hack, and on Wayland desktops with wlr-layer-shell (sway,
Hyprland, KDE Plasma) over every output at once (kelvaron -layer), started by
the desktop's idle daemon or by its own (kelvaron --saver).
.
${_together}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
if(CMAKE_CROSSCOMPILING)
  # CPack would name the build machine's architecture: the package is the target's (arm64).
  execute_process(COMMAND dpkg-architecture -qDEB_HOST_ARCH -t ${CMAKE_LIBRARY_ARCHITECTURE}
                  OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE
                  ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
endif()
# A screensaver first, as XScreenSaver's hacks are: games would belong in /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The shared libraries come from the binary; what it finds at run time comes from here: the overlay
# looks for Arial's metric twin, and XScreenSaver runs it as a hack.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver")
include(CPack)

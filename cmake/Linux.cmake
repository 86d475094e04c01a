# The Linux build: the backend in src/platform/linux, and the offscreen and null backends for tests.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GLU REQUIRED IMPORTED_TARGET glu)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2 fontconfig)
target_link_libraries(kelvaron_gl PUBLIC PkgConfig::GLU)

# Backends are object libraries, so that the shared libraries calling them can stand anywhere on the
# link line.
add_library(kelvaron_linux_font OBJECT src/platform/linux/Font.cpp)
kelvaron_layer_headers(kelvaron_linux_font PRIVATE platform/linux/FontFace.h)
target_link_libraries(kelvaron_linux_font PUBLIC kelvaron_contract PkgConfig::FREETYPE)

# Mesa's offscreen context for tests and benchmarks. OSMesa comes first on the link line, so that
# GLU's GL calls reach it rather than the desktop's libGL.
pkg_check_modules(OSMESA REQUIRED IMPORTED_TARGET osmesa libpng)
add_library(kelvaron_offscreen STATIC src/platform/offscreen/Offscreen.cpp)
kelvaron_layer_headers(kelvaron_offscreen PUBLIC platform/offscreen)
target_link_libraries(kelvaron_offscreen PUBLIC PkgConfig::OSMESA)

# The null backend's window: an offscreen context. Object libraries reach only the targets that name
# them, so its users name kelvaron_null too.
add_library(kelvaron_null_window OBJECT src/platform/null/OffscreenWindow.cpp)
target_link_libraries(kelvaron_null_window PUBLIC kelvaron_null kelvaron_offscreen)

# The relay's socket, on POSIX sockets alone: the program's and the null backend's, whose programs
# join rooms too (kelvaron-replay --join). A source of each, since object libraries do not pass
# their objects on.
foreach(_target IN ITEMS kelvaron_null kelvaron_null_core)
  target_sources(${_target} PRIVATE src/platform/linux/RelaySocket.cpp)
endforeach()

# The command line reader, on its own so that its tests need no display.
add_library(kelvaron_command_line OBJECT src/platform/linux/CommandLine.cpp)
kelvaron_layer_headers(kelvaron_command_line PUBLIC platform/linux/CommandLine.h)
target_link_libraries(kelvaron_command_line PUBLIC kelvaron_app)

# Kelvaron in XScreenSaver's list, on its own so that its tests need no display.
add_library(kelvaron_xscreensaver_list OBJECT src/platform/linux/XScreenSaverList.cpp)
kelvaron_layer_headers(kelvaron_xscreensaver_list PUBLIC platform/linux/XScreenSaverList.h)

# The Linux program. The store, the pictures and the pads are libraries of their own too, so that
# their tests link them beside the null backend.
pkg_check_modules(LINUX_UI REQUIRED IMPORTED_TARGET sdl2 gtk+-3.0 x11 xinerama libpng)
pkg_check_modules(DESKTOP_GL REQUIRED IMPORTED_TARGET gl)
foreach(_part IN ITEMS store:Store picture:Pictures pads:Pads)
  string(REPLACE ":" ";" _part ${_part})
  list(GET _part 0 _name)
  list(GET _part 1 _file)
  add_library(kelvaron_linux_${_name} OBJECT src/platform/linux/${_file}.cpp)
  kelvaron_layer_headers(kelvaron_linux_${_name} PRIVATE platform/linux)
  target_link_libraries(kelvaron_linux_${_name} PUBLIC kelvaron_contract PkgConfig::LINUX_UI)
endforeach()
target_sources(kelvaron_linux_pads PRIVATE src/platform/linux/PadStorm.cpp)
# The answer for a gone window's size, which Mesa, loaded at run time, must find before Xlib's: the
# program exports it. On its own so that its test links it as the program does.
add_library(kelvaron_linux_window_size OBJECT src/platform/linux/GoneWindowSize.cpp)
target_link_libraries(kelvaron_linux_window_size PUBLIC PkgConfig::LINUX_UI ${CMAKE_DL_LIBS})
target_link_options(kelvaron_linux_window_size INTERFACE -Wl,--export-dynamic-symbol=XGetGeometry)
# What the SDL program and the Wayland program (Wayland.cmake) share: the clock, the message boxes,
# the ending signals, the relay's socket and process, and where the programs that come along are.
add_library(kelvaron_linux_common OBJECT
  src/platform/linux/Clock.cpp
  src/platform/linux/Companions.cpp
  src/platform/linux/Host.cpp
  src/platform/linux/Messages.cpp
  src/platform/linux/RelaySocket.cpp
  src/platform/linux/Signals.cpp
)
kelvaron_layer_headers(kelvaron_linux_common PRIVATE platform/linux)
target_link_libraries(kelvaron_linux_common PUBLIC kelvaron_app PkgConfig::LINUX_UI)
add_library(kelvaron_linux OBJECT
  src/platform/linux/Dialog.cpp
  src/platform/linux/Events.cpp
  src/platform/linux/KeyCodes.cpp
  src/platform/linux/Window.cpp
  src/platform/linux/Xlib.cpp
)
kelvaron_layer_headers(kelvaron_linux PUBLIC platform/linux)
target_link_libraries(kelvaron_linux PUBLIC kelvaron_app kelvaron_linux_common PkgConfig::LINUX_UI)
add_executable(kelvaron src/platform/linux/Main.cpp)
target_compile_definitions(kelvaron PRIVATE KELVARON_VERSION="${PROJECT_VERSION}")
# The desktop's libGL comes after the layers' static libraries, the only code calling it: the linker
# keeps a shared library only if something before it on the line needs it.
target_link_libraries(kelvaron PRIVATE kelvaron_linux kelvaron_linux_common kelvaron_linux_store kelvaron_linux_picture kelvaron_linux_pads
                      kelvaron_linux_window_size
                      kelvaron_linux_font kelvaron_command_line kelvaron_xscreensaver_list PkgConfig::DESKTOP_GL)
install(TARGETS kelvaron RUNTIME DESTINATION bin)
install(FILES data/kelvaron.desktop DESTINATION share/applications)
# XScreenSaver: the settings descriptor, and the program where it looks for its hacks.
install(FILES data/kelvaron.xml DESTINATION share/xscreensaver/config)
install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/libexec/xscreensaver\")
  file(CREATE_LINK ../../bin/kelvaron \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/libexec/xscreensaver/kelvaron\" SYMBOLIC)")

include(${CMAKE_CURRENT_LIST_DIR}/Wayland.cmake)

# The relay serves from Linux machines only: the cross builds leave it out.
if(NOT CMAKE_CROSSCOMPILING)
  include(${CMAKE_CURRENT_LIST_DIR}/Relay.cmake)
endif()

# The arm64 build is proven against the x86_64 build under qemu-user.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL aarch64)
  include(${CMAKE_CURRENT_LIST_DIR}/../tests/Arm64.cmake)
endif()

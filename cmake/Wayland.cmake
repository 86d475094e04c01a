# The Wayland program, kelvaron-wayland, which kelvaron -layer and kelvaron --saver start: the backend
# in src/platform/wayland with the pieces of the Linux backend that do not touch a window. Its
# protocols' code is made by wayland-scanner from Debian's wayland-protocols and, for those of wlroots
# that Debian packages nowhere, from its wlroots source package (scripts/wlr-protocols.sh).
enable_language(C)  # wayland-scanner writes C
pkg_check_modules(WAYLAND REQUIRED IMPORTED_TARGET wayland-client wayland-egl egl xkbcommon)
pkg_check_modules(EGL_GL REQUIRED IMPORTED_TARGET opengl)
pkg_get_variable(_wayland_protocols wayland-protocols pkgdatadir)
if(NOT _wayland_protocols)
  message(FATAL_ERROR "wayland-protocols is missing (scripts/install-deps.sh installs it)")
endif()
find_program(KELVARON_WAYLAND_SCANNER wayland-scanner REQUIRED)

get_filename_component(_deps_dir "${KELVARON_ODE_PREFIX}" DIRECTORY)
set(KELVARON_WLR_PROTOCOLS "${_deps_dir}/wlr-protocols" CACHE PATH "Where wlroots' protocol files are kept")
execute_process(COMMAND bash "${_kelvaron_scripts}/wlr-protocols.sh" "${KELVARON_WLR_PROTOCOLS}"
                RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
  message(FATAL_ERROR "Fetching wlroots' protocol files into ${KELVARON_WLR_PROTOCOLS} failed")
endif()

# kelvaron_wayland_protocols(TARGET NAME:XML...): each protocol's client header, NAME-client-protocol.h,
# and its code, compiled into TARGET, a library whose users include the headers.
set(_protocol_dir ${CMAKE_BINARY_DIR}/wayland-protocols)
function(kelvaron_wayland_protocols target)
  set(sources)
  foreach(_protocol IN LISTS ARGN)
    string(FIND "${_protocol}" ":" _colon)
    string(SUBSTRING "${_protocol}" 0 ${_colon} _name)
    math(EXPR _colon "${_colon} + 1")
    string(SUBSTRING "${_protocol}" ${_colon} -1 _xml)
    add_custom_command(
      OUTPUT ${_protocol_dir}/${_name}-client-protocol.h ${_protocol_dir}/${_name}-protocol.c
      COMMAND ${CMAKE_COMMAND} -E make_directory ${_protocol_dir}
      COMMAND ${KELVARON_WAYLAND_SCANNER} client-header ${_xml} ${_protocol_dir}/${_name}-client-protocol.h
      COMMAND ${KELVARON_WAYLAND_SCANNER} private-code ${_xml} ${_protocol_dir}/${_name}-protocol.c
      DEPENDS ${_xml}
      VERBATIM)
    list(APPEND sources ${_protocol_dir}/${_name}-client-protocol.h ${_protocol_dir}/${_name}-protocol.c)
  endforeach()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${_protocol_dir})
  target_link_libraries(${target} PUBLIC PkgConfig::WAYLAND)
endfunction()

kelvaron_wayland_protocols(kelvaron_wayland_protocols
  xdg-shell:${_wayland_protocols}/stable/xdg-shell/xdg-shell.xml  # layer shell's popups name its xdg_popup
  wlr-layer-shell-unstable-v1:${KELVARON_WLR_PROTOCOLS}/wlr-layer-shell-unstable-v1.xml
  ext-idle-notify-v1:${_wayland_protocols}/staging/ext-idle-notify/ext-idle-notify-v1.xml
  kde-idle:${KELVARON_WLR_PROTOCOLS}/idle.xml)

add_library(kelvaron_wayland OBJECT
  src/platform/wayland/Events.cpp
  src/platform/wayland/KeyCodes.cpp
  src/platform/wayland/Registry.cpp
  src/platform/wayland/Saver.cpp
  src/platform/wayland/Window.cpp
)
kelvaron_layer_headers(kelvaron_wayland PUBLIC platform/wayland)
kelvaron_layer_headers(kelvaron_wayland PUBLIC platform/linux/LinuxBackend.h)
target_link_libraries(kelvaron_wayland PUBLIC kelvaron_app kelvaron_wayland_protocols PkgConfig::LINUX_UI)
add_executable(kelvaron-wayland src/platform/wayland/Main.cpp)
# As the SDL program's, the GL library (here glvnd's libOpenGL, for EGL's contexts) comes after the
# layers' static libraries.
target_link_libraries(kelvaron-wayland PRIVATE kelvaron_wayland kelvaron_linux_common kelvaron_linux_store
                      kelvaron_linux_picture kelvaron_linux_pads kelvaron_linux_font kelvaron_command_line
                      PkgConfig::EGL_GL)
install(TARGETS kelvaron-wayland RUNTIME DESTINATION libexec/kelvaron)

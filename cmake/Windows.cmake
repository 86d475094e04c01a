# The Windows build: kelvaron.scr on Win32, WGL and the registry, and the test suites that need no
# offscreen GL, all run under Wine. windres compiles the dialog resource.
enable_language(RC)

# <GL/gl.h> wants the calling-convention macros of <windows.h>; shared code gets them here instead.
target_compile_definitions(kelvaron_gl PUBLIC "WINGDIAPI=__declspec(dllimport)" "APIENTRY=__stdcall"
                           "CALLBACK=__stdcall")
target_link_libraries(kelvaron_gl PUBLIC glu32 opengl32)

# The registry store is a library of its own too, so that its tests link it beside the null backend.
add_library(kelvaron_win32_registry OBJECT src/platform/win32/Store.cpp)
kelvaron_layer_headers(kelvaron_win32_registry PRIVATE platform/win32)
target_link_libraries(kelvaron_win32_registry PUBLIC kelvaron_contract advapi32)

# The relay's socket, on WinHTTP's WebSocket calls: the program's and the null backend's, whose
# programs join rooms too. A source of each, since object libraries do not pass their objects on.
foreach(_target IN ITEMS kelvaron_null kelvaron_null_core)
  target_sources(${_target} PRIVATE src/platform/win32/RelaySocket.cpp)
  target_link_libraries(${_target} PUBLIC winhttp)
endforeach()

# The backend but for its entry point, so that the tests can drive its window.
add_library(kelvaron_win32 OBJECT
  src/platform/win32/Clock.cpp
  src/platform/win32/Dialog.cpp
  src/platform/win32/Events.cpp
  src/platform/win32/Font.cpp
  src/platform/win32/HostWatch.cpp
  src/platform/win32/Messages.cpp
  src/platform/win32/MonitorCovers.cpp
  src/platform/win32/Pads.cpp
  src/platform/win32/Pictures.cpp
  src/platform/win32/RelaySocket.cpp
  src/platform/win32/Window.cpp
)
kelvaron_layer_headers(kelvaron_win32 PUBLIC platform/win32)
target_link_libraries(kelvaron_win32 PUBLIC kelvaron_win32_registry kelvaron_app opengl32 gdi32 advapi32 user32
                      shell32 winhttp)
# stb_image_write is one header: Debian's copy, without the rest of /usr/include.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/stb-include)
file(CREATE_LINK /usr/include/stb ${CMAKE_BINARY_DIR}/stb-include/stb SYMBOLIC)
target_include_directories(kelvaron_win32 SYSTEM PRIVATE ${CMAKE_BINARY_DIR}/stb-include)

add_executable(kelvaron_scr WIN32
  src/platform/win32/Main.cpp
  src/platform/win32/Dialog.rc
  src/platform/win32/Identity.rc
  src/platform/win32/Manifest.rc
  src/platform/win32/Version.rc
)
# An object library's objects reach only what links it by name: the registry's too.
target_link_libraries(kelvaron_scr PRIVATE kelvaron_win32 kelvaron_win32_registry)
set_target_properties(kelvaron_scr PROPERTIES OUTPUT_NAME kelvaron SUFFIX .scr)
# The icon, drawn from data/kelvaron.svg; windres finds it in its folder.
set(KELVARON_ICO ${CMAKE_BINARY_DIR}/icons/kelvaron.ico)
add_custom_command(
  OUTPUT ${KELVARON_ICO}
  COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/make-icons.sh ${CMAKE_BINARY_DIR}/icons ico
  DEPENDS ${PROJECT_SOURCE_DIR}/data/kelvaron.svg ${PROJECT_SOURCE_DIR}/scripts/make-icons.sh
  COMMENT "Drawing kelvaron.ico"
  VERBATIM)
target_sources(kelvaron_scr PRIVATE ${KELVARON_ICO})
set_source_files_properties(src/platform/win32/Identity.rc PROPERTIES OBJECT_DEPENDS ${KELVARON_ICO})
# The manifest is read from its own folder.
set_source_files_properties(src/platform/win32/Manifest.rc PROPERTIES
                            OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/src/platform/win32/kelvaron.manifest)
target_include_directories(kelvaron_scr PRIVATE $<$<COMPILE_LANGUAGE:RC>:${CMAKE_BINARY_DIR}/icons>
                           $<$<COMPILE_LANGUAGE:RC>:${PROJECT_SOURCE_DIR}/src/platform/win32>)

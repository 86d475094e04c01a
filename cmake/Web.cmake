# The browser build (Debian's emscripten): the page on the backend in src/platform/web, and the
# replay that node runs. GL 1.1 comes from emscripten's legacy-GL emulation over WebGL; the few calls
# it lacks come from src/platform/web/LegacyGl.js.
set(KELVARON_WEB_DIR ${CMAKE_CURRENT_LIST_DIR}/../src/platform/web)

# Every program links the emulation and the calls it lacks: the shared frame names GL even where it
# draws nothing.
function(kelvaron_web_gl target)
  target_link_options(${target} PRIVATE -sLEGACY_GL_EMULATION=1 "SHELL:--js-library ${KELVARON_WEB_DIR}/LegacyGl.js")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${KELVARON_WEB_DIR}/LegacyGl.js)
endfunction()

# A program node runs as the native ones run: the real file system, main's exit status, the wasm
# compiled before main (node cannot fetch a file the way a browser does), and a browser's WebSocket.
function(kelvaron_node_program target)
  kelvaron_web_gl(${target})
  target_link_options(${target} PRIVATE -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1
                      -sWASM_ASYNC_COMPILATION=0 -sALLOW_MEMORY_GROWTH=1
                      "SHELL:--pre-js ${KELVARON_WEB_DIR}/NodeNotices.js"
                      "SHELL:--pre-js ${KELVARON_WEB_DIR}/NodeWebSocket.js")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${KELVARON_WEB_DIR}/NodeNotices.js
               ${KELVARON_WEB_DIR}/NodeWebSocket.js)
endfunction()

# The relay socket on emscripten's WebSocket API, and the page's wait, which its pump shares. A
# library, so that a program takes it in only once its run calls the socket.
add_library(kelvaron_web_relay_socket STATIC ${KELVARON_WEB_DIR}/RelaySocket.cpp ${KELVARON_WEB_DIR}/Wait.cpp)
kelvaron_layer_headers(kelvaron_web_relay_socket PRIVATE platform/web)
target_link_libraries(kelvaron_web_relay_socket PUBLIC kelvaron_contract)
target_link_options(kelvaron_web_relay_socket INTERFACE -lwebsocket.js
                    "SHELL:--js-library ${KELVARON_WEB_DIR}/RelaySocket.js")
set_property(TARGET kelvaron_web_relay_socket APPEND PROPERTY INTERFACE_LINK_DEPENDS ${KELVARON_WEB_DIR}/RelaySocket.js)

# emscripten's JS optimiser needs Debian's node modules (acorn), which a node not built by Debian
# does not look for.
set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK "${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs")

# A program a page runs once it is told to, with the arguments it is given (Module.arguments).
function(kelvaron_page_program target)
  kelvaron_web_gl(${target})
  target_link_options(${target} PRIVATE -sENVIRONMENT=web -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1)
endfunction()

# The overlay glyphs: the Linux build's font code, compiled for the build machine and run there.
find_program(KELVARON_HOST_CXX NAMES c++ g++ REQUIRED)
execute_process(COMMAND env -u PKG_CONFIG_LIBDIR -u PKG_CONFIG_PATH -u PKG_CONFIG_SYSROOT_DIR
                        pkg-config --cflags --libs freetype2 fontconfig
                OUTPUT_VARIABLE _freetype OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE _found)
if(NOT _found EQUAL 0)
  message(FATAL_ERROR "The page's glyphs need FreeType and fontconfig for the build machine (libfreetype-dev, libfontconfig-dev)")
endif()
separate_arguments(_freetype UNIX_COMMAND "${_freetype}")
set(_glyph_sources ${PROJECT_SOURCE_DIR}/src/platform/linux/Font.cpp ${KELVARON_WEB_DIR}/GlyphFile.cpp
    ${KELVARON_WEB_DIR}/WriteGlyphs.cpp)
set(_glyph_tool ${CMAKE_BINARY_DIR}/host/kelvaron-write-glyphs)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/glyphs
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
  COMMAND ${KELVARON_HOST_CXX} -std=c++17 -O2 -I${PROJECT_SOURCE_DIR}/src ${_glyph_sources} -o ${_glyph_tool} ${_freetype}
  COMMAND ${_glyph_tool} ${CMAKE_BINARY_DIR}/glyphs
  DEPENDS ${_glyph_sources} ${KELVARON_WEB_DIR}/GlyphFile.h ${PROJECT_SOURCE_DIR}/src/platform/linux/FontFace.h
  COMMENT "Rendering the overlay glyphs with FreeType"
  VERBATIM)

# The page: build/web/index.html, kelvaron.js, .wasm and .data (the glyphs), the manifest, the
# service worker. The shell's run blocks as on the desktop; Asyncify lets the browser run whenever
# it waits for a frame (no indirect call on that path, so the physics is left as it is).
add_executable(kelvaron_page
  ${KELVARON_WEB_DIR}/GlyphFile.cpp
  ${KELVARON_WEB_DIR}/Clock.cpp
  ${KELVARON_WEB_DIR}/Dialog.cpp
  ${KELVARON_WEB_DIR}/Events.cpp
  ${KELVARON_WEB_DIR}/Font.cpp
  ${KELVARON_WEB_DIR}/Main.cpp
  ${KELVARON_WEB_DIR}/Messages.cpp
  ${KELVARON_WEB_DIR}/Pads.cpp
  ${KELVARON_WEB_DIR}/Pictures.cpp
  ${KELVARON_WEB_DIR}/Room.cpp
  ${KELVARON_WEB_DIR}/Store.cpp
  ${KELVARON_WEB_DIR}/WebKeyScript.cpp
  ${KELVARON_WEB_DIR}/Window.cpp
  ${CMAKE_BINARY_DIR}/glyphs
)
set_source_files_properties(${CMAKE_BINARY_DIR}/glyphs PROPERTIES HEADER_FILE_ONLY ON)
kelvaron_layer_headers(kelvaron_page PRIVATE platform/web)
target_link_libraries(kelvaron_page PRIVATE kelvaron_app kelvaron_web_relay_socket)
kelvaron_web_gl(kelvaron_page)
target_link_options(kelvaron_page PRIVATE -sENVIRONMENT=web -sASYNCIFY -sASYNCIFY_IGNORE_INDIRECT=1
                    -sALLOW_MEMORY_GROWTH=1 -sMIN_WEBGL_VERSION=1 -sMAX_WEBGL_VERSION=1
                    -sEXPORTED_FUNCTIONS=_main,_malloc,_free,_kelvaron_save_settings,_kelvaron_reset_settings_form
                    -sEXPORTED_RUNTIME_METHODS=UTF8ToString,stringToNewUTF8
                    "SHELL:--preload-file ${CMAKE_BINARY_DIR}/glyphs@/kelvaron/glyphs")
set_target_properties(kelvaron_page PROPERTIES OUTPUT_NAME kelvaron RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
foreach(_file index.html page.js sw.js manifest.webmanifest)
  configure_file(${KELVARON_WEB_DIR}/page/${_file} ${CMAKE_BINARY_DIR}/${_file} COPYONLY)
endforeach()
# The one icon every build shows.
configure_file(${PROJECT_SOURCE_DIR}/data/kelvaron.svg ${CMAKE_BINARY_DIR}/icon.svg COPYONLY)

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

# A program node runs as the native ones run: the real file system, main's exit status, and the wasm
# compiled before main (node cannot fetch a file the way a browser does).
function(kelvaron_node_program target)
  kelvaron_web_gl(${target})
  target_link_options(${target} PRIVATE -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1
                      -sWASM_ASYNC_COMPILATION=0 -sALLOW_MEMORY_GROWTH=1
                      "SHELL:--pre-js ${KELVARON_WEB_DIR}/NodeNotices.js")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${KELVARON_WEB_DIR}/NodeNotices.js)
endfunction()

# emscripten's JS optimiser needs Debian's node modules (acorn), which a node not built by Debian
# does not look for.
set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK "${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs")

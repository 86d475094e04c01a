# kelvaron_layer_headers(TARGET PUBLIC|PRIVATE|INTERFACE PATH): makes src/PATH reachable as "PATH/..."
# for TARGET (and, unless PRIVATE, for what links it), and nothing else of src/. Each target gets an
# include root of its own that holds only a link to PATH, so an include across the layers the wrong
# way fails to compile.
set(KELVARON_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/../src)
function(kelvaron_layer_headers target visibility path)
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  get_filename_component(parent ${root}/${path} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${KELVARON_SOURCE_DIR}/${path} ${root}/${path} SYMBOLIC)
  target_include_directories(${target} ${visibility} ${root})
endfunction()

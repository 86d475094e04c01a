# kelvaron-relay: rooms for network play and the page, on Boost.Beast and Asio (headers only). It
# reads commands with the key scripts' own reader and key table (record/) and speaks the protocol
# (net/): no physics, nothing that draws.
find_package(Boost 1.74 REQUIRED)
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(HIREDIS REQUIRED IMPORTED_TARGET hiredis)  # --redis: the fleet's room map

# The room's logic apart from the sockets, so that its tests and fuzzers need no network.
add_library(kelvaron_relay_room STATIC src/relay/Lateness.cpp src/relay/Room.cpp)
kelvaron_layer_headers(kelvaron_relay_room PUBLIC relay)
target_link_libraries(kelvaron_relay_room PUBLIC kelvaron_keyscript kelvaron_net)

add_executable(kelvaron-relay src/relay/Main.cpp src/relay/Server.cpp src/relay/Fleet.cpp)
target_compile_definitions(kelvaron-relay PRIVATE KELVARON_PAGE_DIR="/usr/share/kelvaron/web")
target_link_libraries(kelvaron-relay PRIVATE kelvaron_relay_room Boost::headers Threads::Threads PkgConfig::HIREDIS)
install(TARGETS kelvaron-relay RUNTIME DESTINATION bin)

# The page the relay serves, from a web build's tree (scripts/package.sh gives build/web): its files
# as the service worker lists them. Without one, the relay serves rooms alone and says so.
set(KELVARON_WEB_BUILD "" CACHE PATH "A web build's tree whose page is installed where the relay looks for it")
if(KELVARON_WEB_BUILD)
  set(_page_files index.html page.js sw.js manifest.webmanifest icon.svg kelvaron.js kelvaron.wasm kelvaron.data)
  list(TRANSFORM _page_files PREPEND ${KELVARON_WEB_BUILD}/)
  install(FILES ${_page_files} DESTINATION share/kelvaron/web)
endif()

# The browser build's tests. The wasm replay under node must print the Linux build's traces and state
# hashes byte for byte, for every key script and with the autopilot driving (scripts/test.sh names the
# Linux replay).
# The page is driven in Debian's Chromium by playwright-core, installed from its lock file.
include(${CMAKE_CURRENT_LIST_DIR}/LinuxReplay.cmake)
if(KELVARON_LINUX_REPLAY)
  # The snapshots and the synctest over 400 frames of each key script add about 6 s.
  add_test(NAME web_trace_matches_linux COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/compare_traces.sh web
           ${KELVARON_LINUX_REPLAY} "${KELVARON_TRACE_SCRIPTS}" "5 17" 400 node $<TARGET_FILE:kelvaron-replay>)
endif()

# The relay socket, under node, against the Linux build's relay on 127.0.0.1.
add_executable(relay-socket-test relay/relay_socket_test.cpp)
target_link_libraries(relay-socket-test PRIVATE kelvaron_web_relay_socket)
kelvaron_node_program(relay-socket-test)
if(KELVARON_LINUX_REPLAY)
  add_test(NAME web_relay_socket COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/relay/relay_socket_test.sh
           ${KELVARON_LINUX_RELAY} node $<TARGET_FILE:relay-socket-test>)
  set_tests_properties(web_relay_socket PROPERTIES LABELS relay TIMEOUT 120)
endif()

# One world in one room of the Linux build's relay, shared by the Linux replay, the Windows one under
# Wine and this build's under node, each a seat driven by its own key script for 2,000 ticks: with the
# Windows one behind 150 ms of delay and 2 % loss each way, at the real tick rate; then the node client
# killed at tick 700 and a Linux one taking its seat back at tick 1,200.
set(KELVARON_WINDOWS_REPLAY "" CACHE FILEPATH "The Windows build's kelvaron-replay.exe, for rooms shared across builds")
if(KELVARON_LINUX_REPLAY AND KELVARON_WINDOWS_REPLAY)
  set(_windows_client "${PROJECT_SOURCE_DIR}/scripts/wine-run.sh ${KELVARON_WINDOWS_REPLAY}")
  set(_node_client "node $<TARGET_FILE:kelvaron-replay>")
  foreach(_mode IN ITEMS bad-link faults)
    add_test(NAME shared_world_${_mode} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/relay/shared_world_test.sh ${_mode}
             ${KELVARON_LINUX_RELAY} ${KELVARON_LINUX_REPLAY} 2000 ${_windows_client} ${_node_client})
    set_tests_properties(shared_world_${_mode} PROPERTIES LABELS relay TIMEOUT 400)
  endforeach()
endif()

set(_browser_tests ${CMAKE_CURRENT_BINARY_DIR}/browser-tests)
add_test(NAME web_browser_setup COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/web/install-driver.sh ${_browser_tests})
set_tests_properties(web_browser_setup PROPERTIES FIXTURES_SETUP web_browser)
set(_cases loads no_webgl quadrants arrow_up cameras pause_and_step picture linux_frame autopilot settings offline
           second_full_run hidpi)
if(KELVARON_LINUX_REPLAY)
  # Against the Linux build's traces, and in rooms of its relay with the Linux replay.
  list(APPEND _cases trace run_link clip_link shared_room room_links)
endif()
# Every case in one Chromium (and one more without WebGL), one after another: SwiftShader draws on
# the processor, and the cases watch the frame rate, so nothing else runs beside them.
add_test(NAME web_pages COMMAND node ${CMAKE_CURRENT_SOURCE_DIR}/web/browser_test.js ${CMAKE_BINARY_DIR} ${_cases})
set_tests_properties(web_pages PROPERTIES FIXTURES_REQUIRED web_browser RUN_SERIAL ON TIMEOUT 900 LABELS relay
                     ENVIRONMENT "NODE_PATH=${_browser_tests}/node_modules;KELVARON_LINUX_REPLAY=${KELVARON_LINUX_REPLAY};KELVARON_LINUX_RELAY=${KELVARON_LINUX_RELAY}")

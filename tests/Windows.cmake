# Windows-only tests: the real kelvaron.scr under Wine on a private Xvfb display, and the replay's
# traces and state hashes of every key script and the autopilot against the Linux build's.
add_executable(kelvaron-test-host-win32 e2e/HostWindowWin32.cpp)
add_executable(kelvaron-test-dialog-fields e2e/DialogFieldsWin32.cpp)
add_test(NAME windows_scr COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/windows_scr_test.sh
         ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:kelvaron_scr> $<TARGET_FILE:kelvaron-test-host-win32>
         $<TARGET_FILE:kelvaron-test-dialog-fields>)
# The same on a desktop at 150 %, and the manifest that makes it DPI aware.
add_test(NAME windows_dpi COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/windows_dpi_test.sh
         ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:kelvaron_scr> $<TARGET_FILE:kelvaron-test-dialog-fields>)
set_tests_properties(windows_scr windows_dpi PROPERTIES RUN_SERIAL ON ENVIRONMENT "KELVARON_SHOT_DIR=${CMAKE_CURRENT_BINARY_DIR}")

# Two writers and a reader at the registry at once.
add_executable(kelvaron-settings-writers SettingsWriters.cpp)
target_link_libraries(kelvaron-settings-writers PRIVATE kelvaron_win32_registry)
add_test(NAME two_writers COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/two_writers_test.sh
         $<TARGET_FILE:kelvaron-settings-writers> 50 ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)

# The input storm and the previews under Wine, cut down from bench/reliability-figures.sh's counts.
add_test(NAME windows_storm COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/long_run_test.sh
         --wine ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:kelvaron_scr> storm 30)
add_test(NAME windows_previews COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/windows_previews_test.sh
         ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:kelvaron_scr> $<TARGET_FILE:kelvaron-test-host-win32> 5)
# The storm, a test for crashes and memory errors, runs beside the rest, started first.
set_tests_properties(windows_previews PROPERTIES RUN_SERIAL ON)
set_tests_properties(windows_storm PROPERTIES COST 1000)

include(${CMAKE_CURRENT_LIST_DIR}/LinuxReplay.cmake)
if(KELVARON_LINUX_REPLAY)
  # The snapshots and the synctest over 400 frames of each key script add about 6 s.
  add_test(NAME trace_matches_linux COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/compare_traces.sh Windows
           ${KELVARON_LINUX_REPLAY} "${KELVARON_TRACE_SCRIPTS}" 5 400
           ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:kelvaron-replay>)
  # The relay socket on WinHTTP against the Linux build's relay on 127.0.0.1.
  add_executable(relay-socket-test relay/relay_socket_test.cpp ${PROJECT_SOURCE_DIR}/src/platform/win32/RelaySocket.cpp)
  target_link_libraries(relay-socket-test PRIVATE kelvaron_contract winhttp)
  add_test(NAME relay_socket COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/relay/relay_socket_test.sh ${KELVARON_LINUX_RELAY}
           ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:relay-socket-test>)
  set_tests_properties(relay_socket PROPERTIES LABELS relay TIMEOUT 120)
  # kelvaron.scr joining a room of the Linux build's relay that a Linux headless client drives.
  add_test(NAME windows_join COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/windows_join_test.sh
           ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:kelvaron_scr> $<TARGET_FILE:kelvaron-test-dialog-fields>
           ${KELVARON_LINUX_RELAY} ${KELVARON_LINUX_REPLAY})
  set_tests_properties(windows_join PROPERTIES LABELS relay RUN_SERIAL ON TIMEOUT 400
                       ENVIRONMENT "KELVARON_SHOT_DIR=${CMAKE_CURRENT_BINARY_DIR}")
endif()

# The render window's teardown with the real window procedure and message boxes.
add_executable(kelvaron-test-window-teardown e2e/WindowTeardownWin32.cpp)
target_link_libraries(kelvaron-test-window-teardown PRIVATE kelvaron_win32 kelvaron_win32_registry kelvaron_app_inside)
add_test(NAME windows_window_teardown COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/windows_teardown_test.sh
         ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:kelvaron-test-window-teardown>)

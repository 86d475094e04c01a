# The browser build's tests: the wasm replay under node must print the Linux build's traces byte for
# byte, for every key script and with the autopilot driving.
set(KELVARON_LINUX_REPLAY "" CACHE FILEPATH "The Linux build's kelvaron-replay, to compare traces with")
if(NOT KELVARON_LINUX_REPLAY)
  message(FATAL_ERROR "The web build's trace test needs the Linux replay: -DKELVARON_LINUX_REPLAY=PATH")
endif()
add_test(NAME web_trace_matches_linux COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/web/compare_traces.sh
         $<TARGET_FILE:kelvaron-replay> ${KELVARON_LINUX_REPLAY} ${PROJECT_SOURCE_DIR}/bench/scripts)

# The arm64 build's proof under qemu-user (scripts/test.sh runs these by their label, arm64): its
# traces and state hashes against the x86_64 build's replay, and no fused multiply-add in what
# computes the world.
include(${CMAKE_CURRENT_LIST_DIR}/LinuxReplay.cmake)
set(_arm64_tests arm64_fused)
add_test(NAME arm64_fused COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/arm64_fused_test.sh ${CMAKE_OBJDUMP} ${CMAKE_CXX_COMPILER}
         $<TARGET_FILE:Kelvaron::ODE> $<TARGET_FILE:Kelvaron::SameMath> $<TARGET_FILE:kelvaron-replay>)
if(KELVARON_LINUX_REPLAY)
  # The snapshots and the synctest over 50 frames of each key script add about 11 s under qemu.
  add_test(NAME arm64_traces COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/e2e/compare_traces.sh arm64 ${KELVARON_LINUX_REPLAY}
           "${KELVARON_TRACE_SCRIPTS}" 5 50 ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:kelvaron-replay>)
  list(APPEND _arm64_tests arm64_traces)
endif()
# arm64's Mesa (llvmpipe, offscreen) draws the frames the x86_64 build recorded, within the render
# tests' tolerance for another processor. The windowed program under qemu on Xvfb draws about 2
# frames a second, too few to reach a frame that both builds show.
add_test(NAME arm64_frames COMMAND render_tests "--test-case=frames are drawn pixel for pixel as recorded*")
list(APPEND _arm64_tests arm64_frames)
# The windowed program starts and finds its :arm64 libraries (SDL2, GTK, GL).
add_test(NAME arm64_program COMMAND kelvaron --version)
set_tests_properties(arm64_program PROPERTIES PASS_REGULAR_EXPRESSION "^kelvaron ${PROJECT_VERSION}\n$")
list(APPEND _arm64_tests arm64_program)
set_tests_properties(${_arm64_tests} PROPERTIES LABELS arm64)

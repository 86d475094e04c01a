# The Linux build that another build's traces are held to: its replay, and what the comparison plays,
# the key scripts in bench/scripts and the recording the Linux build's recording test made of a run
# driven with real keys and pads (it runs first in scripts/test.sh); and its relay, which the other
# builds' sockets are tried against.
set(KELVARON_LINUX_REPLAY "" CACHE FILEPATH "The x86_64 Linux build's kelvaron-replay, to compare traces with")
if(KELVARON_LINUX_REPLAY)
  get_filename_component(_linux_build "${KELVARON_LINUX_REPLAY}" DIRECTORY)
  get_filename_component(_linux_build "${_linux_build}" DIRECTORY)
  set(KELVARON_TRACE_SCRIPTS "${PROJECT_SOURCE_DIR}/bench/scripts ${_linux_build}/recordings")
  set(KELVARON_LINUX_RELAY "${_linux_build}/kelvaron-relay")
endif()

# The includes the layers refuse: each a one-line source linked as a layer links, built on its own by
# the test "layers", which passes only when every one of them fails to find its header. The arrows:
# backends and app -> the contract; app -> render -> gl; app -> gl; app -> input, record, the client
# (net/) -> sim -> physics, the three above the world through its plain headers alone, without ODE;
# input and the client -> record (the key table, key scripts); render -> physics; the relay -> record
# and net. A backend sees the contract alone, and ODE's private headers are physics' alone.
#   layer, what it links, the headers it must not reach
set(_refusals
  "backend|kelvaron_app|app/Input.h physics/Car.h render/SceneView.h gl/Text.h net/Protocol.h"
  "physics|kelvaron_physics|app/Input.h sim/Simulation.h render/SceneView.h gl/Gl.h platform/Platform.h"
  "sim|kelvaron_sim|app/Input.h render/SceneView.h gl/Gl.h platform/Platform.h net/Protocol.h ode-private/objects.h"
  "render|kelvaron_render|app/Input.h sim/Simulation.h platform/Platform.h ode-private/objects.h"
  "app|kelvaron_app_inside|ode-private/objects.h"
  "gl|kelvaron_gl|app/Input.h render/SceneView.h physics/Car.h platform/Platform.h"
  "contract|kelvaron_contract|app/Input.h"
  "net|kelvaron_net|app/Input.h physics/Car.h platform/Platform.h"
  "record|kelvaron_record|physics/Scene.h sim/Simulation.h ode/ode.h app/Input.h input/Keyboard.h net/SharedRun.h render/SceneView.h"
  "input|kelvaron_input|physics/Scene.h sim/Simulation.h ode/ode.h app/Input.h record/Playback.h net/SharedRun.h"
  "client|kelvaron_net_client|physics/Scene.h sim/Simulation.h ode/ode.h app/Input.h input/Keyboard.h render/SceneView.h")
if(TARGET kelvaron_relay_room)
  list(APPEND _refusals "relay|kelvaron_relay_room|physics/Scene.h sim/Simulation.h ode/ode.h app/Settings.h record/Playback.h")
endif()
set(_wrong_way)
foreach(_refusal IN LISTS _refusals)
  string(REPLACE "|" ";" _refusal "${_refusal}")
  list(GET _refusal 0 _layer)
  list(GET _refusal 1 _links)
  list(GET _refusal 2 _headers)
  separate_arguments(_headers)
  foreach(_header IN LISTS _headers)
    string(MAKE_C_IDENTIFIER "wrong_way_${_layer}_${_header}" _target)
    set(_source ${CMAKE_BINARY_DIR}/wrong-way/${_target}.cpp)
    file(WRITE ${_source} "#include \"${_header}\"\n")
    add_library(${_target} OBJECT EXCLUDE_FROM_ALL ${_source})
    target_link_libraries(${_target} PRIVATE ${_links})
    list(APPEND _wrong_way "${_target}:${_header}")
  endforeach()
endforeach()

add_test(NAME layers COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/../tests/layers_test.sh ${CMAKE_BINARY_DIR} ${_wrong_way})

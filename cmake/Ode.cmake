# Kelvaron::ODE: ODE 0.16.2 in single precision, built once from Debian's source package into
# KELVARON_ODE_PREFIX (in the build tree unless given), or Debian's libode-dev on request.

# Runs scripts/SCRIPT TARGET PREFIX at configure time: the scripts that build a library from Debian's
# sources, which do nothing when it is already there.
set(_kelvaron_scripts "${CMAKE_CURRENT_LIST_DIR}/../scripts")
function(kelvaron_build_from_source what script target prefix)
  execute_process(COMMAND bash "${_kelvaron_scripts}/${script}" ${target} "${prefix}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Building ${what} into ${prefix} failed")
  endif()
endfunction()

if(KELVARON_SYSTEM_ODE)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(ODE REQUIRED IMPORTED_TARGET ode)
  add_library(Kelvaron::ODE ALIAS PkgConfig::ODE)
  return()
endif()

if(EMSCRIPTEN)
  set(_ode_target wasm32-emscripten)
  set(_ode_lib libode.a)
elseif(CMAKE_CROSSCOMPILING)
  # ODE's build names its library by precision on Windows alone.
  set(_ode_target ${CMAKE_CXX_COMPILER_TARGET})
  if(WIN32)
    set(_ode_lib libode_singles.a)
  else()
    set(_ode_lib libode.a)
  endif()
else()
  set(_ode_target native)
  set(_ode_lib libode.a)
endif()
set(KELVARON_ODE_PREFIX "${CMAKE_BINARY_DIR}/ode-${_ode_target}" CACHE PATH "Where the single-precision ODE is built")

kelvaron_build_from_source(ODE build-ode.sh ${_ode_target} "${KELVARON_ODE_PREFIX}")

find_package(Threads REQUIRED)
add_library(Kelvaron::ODE STATIC IMPORTED)
set_target_properties(Kelvaron::ODE PROPERTIES
  IMPORTED_LOCATION "${KELVARON_ODE_PREFIX}/lib/${_ode_lib}"
  INTERFACE_INCLUDE_DIRECTORIES "${KELVARON_ODE_PREFIX}/include"
  INTERFACE_COMPILE_DEFINITIONS ODE_LIB
  INTERFACE_LINK_LIBRARIES Threads::Threads)
# ODE's private headers, for src/physics/ alone: a snapshot reads and writes what ODE keeps to itself.
add_library(kelvaron_ode_private INTERFACE)
target_include_directories(kelvaron_ode_private SYSTEM INTERFACE "${KELVARON_ODE_PREFIX}/private")

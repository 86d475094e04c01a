# Kelvaron::SameMath: the float functions whose last bit differs between glibc and mingw-w64's
# runtime (atan2f, the sines and cosines, hypotf), built from Debian's musl source for this target by
# scripts/build-samemath.sh. It follows ODE on every link line that has ODE, so that ODE and the
# program take these functions from it rather than from the C library, and the Linux and the Windows
# build compute the same physics. Debian's double-precision ODE makes no such promise.
if(KELVARON_SYSTEM_ODE)
  return()
endif()

get_filename_component(_samemath_dir "${KELVARON_ODE_PREFIX}" DIRECTORY)
set(KELVARON_SAMEMATH_PREFIX "${_samemath_dir}/samemath-${_ode_target}" CACHE PATH "Where libsamemath is built")
kelvaron_build_from_source(libsamemath build-samemath.sh ${_ode_target} "${KELVARON_SAMEMATH_PREFIX}")

add_library(Kelvaron::SameMath STATIC IMPORTED)
set_target_properties(Kelvaron::SameMath PROPERTIES IMPORTED_LOCATION "${KELVARON_SAMEMATH_PREFIX}/lib/libsamemath.a")
set_property(TARGET Kelvaron::ODE APPEND PROPERTY INTERFACE_LINK_LIBRARIES Kelvaron::SameMath)

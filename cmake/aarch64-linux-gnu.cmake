# Cross-compiling for 64-bit ARM Linux with Debian's toolchain (crossbuild-essential-arm64) against
# the :arm64 libraries of Debian's multiarch. aarch64 has fused multiply-add instructions and GCC
# uses them unasked: every object, here and in ODE and libsamemath, is compiled with
# -ffp-contract=off, so that the physics rounds as on x86_64. Programs run under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_CXX_COMPILER_TARGET aarch64-linux-gnu)
set(CMAKE_C_FLAGS_INIT -ffp-contract=off)
set(CMAKE_CXX_FLAGS_INIT -ffp-contract=off)
# Debian's multiarch: the :arm64 packages' libraries and headers live beside the machine's own.
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
# pkg-config reads the :arm64 packages' files only.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
# No binfmt_misc is needed: the emulator is called by name. The :arm64 packages bring the loader and
# the C library to /lib/aarch64-linux-gnu, where the programs look for them.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static)

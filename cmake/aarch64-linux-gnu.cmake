# Cross-compiles for 64-bit Arm Linux with Debian's cross toolchain
# (g++-aarch64-linux-gnu) and runs what it builds under qemu-user:
#
#   cmake -S . -B build/cross-gcc-aarch64 -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
#
# Add -DCMAKE_CXX_COMPILER=clang++ to build with Clang for the same target,
# against the same headers and libraries.
#
# Executables are linked statically, so that qemu-aarch64 runs them without
# the target's dynamic loader; -L names the target's root all the same for
# anything that is not static.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(LAPLACE_CROSS_TRIPLE aarch64-linux-gnu)
set(LAPLACE_CROSS_ROOT /usr/${LAPLACE_CROSS_TRIPLE})

if(NOT CMAKE_CXX_COMPILER)
  set(CMAKE_CXX_COMPILER ${LAPLACE_CROSS_TRIPLE}-g++)
endif()
if(NOT CMAKE_C_COMPILER)
  set(CMAKE_C_COMPILER ${LAPLACE_CROSS_TRIPLE}-gcc)
endif()
# Used by Clang only (--target=); GCC is a cross compiler by itself.
set(CMAKE_CXX_COMPILER_TARGET ${LAPLACE_CROSS_TRIPLE})
set(CMAKE_C_COMPILER_TARGET ${LAPLACE_CROSS_TRIPLE})

set(CMAKE_FIND_ROOT_PATH ${LAPLACE_CROSS_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

find_program(LAPLACE_QEMU_AARCH64 qemu-aarch64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${LAPLACE_QEMU_AARCH64} -L ${LAPLACE_CROSS_ROOT})

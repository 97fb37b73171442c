# Linux on 64-bit Arm with Debian's cross GCC (g++-aarch64-linux-gnu); the
# programs run under qemu-user with the target's libraries from its sysroot.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(VORLAN_TARGET_SYSROOT /usr/aarch64-linux-gnu CACHE PATH "Libraries of the target system")
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

find_program(VORLAN_QEMU_AARCH64 qemu-aarch64)
if(VORLAN_QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VORLAN_QEMU_AARCH64} -L ${VORLAN_TARGET_SYSROOT})
endif()

# Headers and libraries of the target only; programs of the build machine.
# Appended to: a root given on the command line (a staging prefix) stays.
list(APPEND CMAKE_FIND_ROOT_PATH ${VORLAN_TARGET_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# 64-bit Windows with Debian's MinGW-w64 GCC, POSIX threads variant
# (g++-mingw-w64-x86-64-posix); the programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# The C++, GCC and winpthread runtimes linked in, so that a program runs
# without any DLL beside it or on Wine's search path.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Wine in a prefix of this build tree, without a display and without its
# debug channels; Mono and Gecko are not wanted.  A prefix's first start takes
# several seconds, and so does a wineserver's: the tests' emulator_setup
# starts one session for all of them (wine_session.sh).  Debian's wine64
# package puts its loader in /usr/lib/wine.
find_program(VORLAN_WINE NAMES wine64 wine PATHS /usr/lib/wine)
set(VORLAN_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix CACHE PATH "Wine prefix of the tests")
if(VORLAN_WINE)
  set(vorlan_wine_env env -u DISPLAY -u WAYLAND_DISPLAY WINEPREFIX=${VORLAN_WINEPREFIX}
      WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${vorlan_wine_env} ${VORLAN_WINE})
  set(vorlan_wine_session ${vorlan_wine_env} sh ${CMAKE_CURRENT_LIST_DIR}/wine_session.sh)
  set(VORLAN_EMULATOR_SETUP ${vorlan_wine_session} start ${VORLAN_WINE})
  set(VORLAN_EMULATOR_CLEANUP ${vorlan_wine_session} stop ${VORLAN_WINE})
endif()

# Appended to: a root given on the command line (a staging prefix) stays.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

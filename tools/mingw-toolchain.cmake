# Shared part of the mingw-w64 cross builds (POSIX threads). The including
# file sets HARVIO_MINGW_PREFIX and CMAKE_SYSTEM_PROCESSOR. Everything is
# linked statically so that no DLL but the system's has to lie beside the
# executables.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${HARVIO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HARVIO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${HARVIO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${HARVIO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

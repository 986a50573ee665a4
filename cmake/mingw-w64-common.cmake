# The part of the MinGW-w64 toolchain files that both flavours share; the
# including file sets TORVANE_MINGW_TRIPLE first.
set(CMAKE_C_COMPILER ${TORVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TORVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TORVANE_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${TORVANE_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${TORVANE_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries and headers come from the cross root only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TORVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's MinGW GCC 12 warns falsely of overlapping copies inside
# std::string's operator+ when it optimises (GCC bug 105329).
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

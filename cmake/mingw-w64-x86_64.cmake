# Cross-compiles the Windows build with Debian's MinGW-w64 (x86_64-w64-mingw32).
# The POSIX-threads flavour of the compilers gives std::thread and std::mutex;
# the C and C++ runtimes and winpthread are linked statically, so the
# programs and the engine library need no DLL beyond those of Windows itself.
#   cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(TORVANE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# The tests of this build run under wine64, in a Wine prefix inside the
# build folder: `ctest --test-dir build/win64` runs them as they are.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine64-emulator.sh ${CMAKE_BINARY_DIR}/wine)

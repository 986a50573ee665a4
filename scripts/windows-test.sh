#!/usr/bin/env bash
# The Windows tests, under Wine. These machines run no 32-bit program, so
# the tests use the 64-bit Windows build of the same sources (build/win64),
# over our engine's library KAVREC64.DLL. ctest runs every one of them through
# the build's emulator (cmake/wine64-emulator.sh, Wine's state in
# build/win64/wine):
#   - the unit tests (torvane_tests.exe, GoogleTest cross-built from Debian's
#     sources), the Windows platform tests among them;
#   - e2e.console_terminal_win32_test: the console's own tests once more on
#     a pseudo-terminal, of which Wine makes a real console;
#   - e2e.demo_win32_test: the demo installation through TORVANE1.EXE, whose
#     outputs must be those of tests/e2e/demo_expected/, as on Linux;
#   - e2e.bad_input_win32_test: bad input of this platform (record manager
#     libraries that cannot serve, long paths, an unusable KAVTAR.EXE).
#   bash scripts/windows-test.sh
# Other folders can be named: TORVANE_WINDOWS_BUILD (for build/win64),
# TORVANE_WINDOWS_BUILD_TYPE (Release), TORVANE_WIN32_BUILD (build/win32,
# whose KAVREC32.DLL, when built, must be refused as a library of the other
# word size).
set -euo pipefail
cd "$(dirname "$0")/.."
WINDOWS_PACKAGES="g++-mingw-w64-x86-64 googletest wine64" scripts/windows-setup.sh
start=$SECONDS
out=${TORVANE_WINDOWS_BUILD:-build/win64}

echo "== 64-bit Windows build"
cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE="${TORVANE_WINDOWS_BUILD_TYPE:-Release}" >/dev/null
cmake --build "$out" -j"$(nproc)"
echo "   ($(( SECONDS - start )) s)"

echo "== tests under Wine"
# A Wine process that fails to start on a loaded machine ends its test at
# once with no output; such a test is run once more, and one that fails
# twice fails the run.
ctest --test-dir "$out" --output-on-failure -j"$(nproc)" --repeat until-pass:2
echo "== Windows tests passed in $(( SECONDS - start )) s"

#!/usr/bin/env bash
# Runs a program of the 64-bit Windows build under wine64: the emulator that
# ctest puts before every test command of that build (see
# mingw-w64-x86_64.cmake), and the end-to-end tests' way to start the
# build's programs. Wine keeps its state in a prefix of the build's own,
# made on first use; Wine's messages, its .NET and HTML engines and any
# display stay out of the tests.
#   wine64-emulator.sh PREFIX PROGRAM [ARGUMENT...]
set -euo pipefail
prefix=$(realpath -m "$1")  # Wine takes none but an absolute path
shift
wine=/usr/lib/wine/wine64
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
unset WINEARCH WINESERVER WINELOADER
if [ ! -f "$prefix/.torvane-ready" ]; then
  # Tests that ctest runs side by side may start at once: one of them makes
  # the prefix, the others wait for it. The registry is on disk once the
  # Wine server has ended.
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.torvane-ready" ]; then
      if ! "$wine" wineboot --init >"$prefix.log" 2>&1; then
        echo "wine64-emulator: no Wine prefix made in $prefix:" >&2
        cat "$prefix.log" >&2
        exit 1
      fi
      /usr/lib/wine/wineserver -w
      touch "$prefix/.torvane-ready"
    fi
  ) 9>"$prefix.lock"
fi
# A Windows program ends its lines with CR LF; CMake's test discovery (ctest
# asks the unit tests for their list first) reads the list by LF line ends.
for argument in "$@"; do
  if [ "$argument" = --gtest_list_tests ]; then
    "$wine" "$@" | tr -d '\r'
    exit "${PIPESTATUS[0]}"
  fi
done
exec "$wine" "$@"

#!/usr/bin/env bash
# Configures and builds one flavour: scripts/build.sh release|asan|fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-release}
jobs=$(nproc)
case "$flavour" in
  release)
    cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null ;;
  asan)
    cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DTORVANE_SANITIZE=ON >/dev/null ;;
  fuzz)
    cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DTORVANE_FUZZ=ON -DTORVANE_TESTS=OFF >/dev/null ;;
  *) echo "build.sh: unknown flavour $flavour" >&2; exit 2 ;;
esac
cmake --build "build/$flavour" -j"$jobs"

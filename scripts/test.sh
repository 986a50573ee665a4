#!/usr/bin/env bash
# Checks the layering and formatting, then builds and runs every test: the
# unit and end-to-end tests (release build),
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, and a
# short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

echo "== layering and formatting"
bash scripts/check-layering.sh
git ls-files '*.h' '*.cc' | xargs clang-format --dry-run -Werror

echo "== release build and tests"
scripts/build.sh release
ctest --test-dir build/release --output-on-failure -j"$(nproc)"

echo "== sanitizer build and tests"
scripts/build.sh asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j"$(nproc)"

echo "== fuzz targets (a few seconds each)"
scripts/build.sh fuzz
# New inputs go to the writable corpus under build/; the seeds committed in
# fuzz/corpus/<name>/ are read as a second corpus.
for target in build/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "fuzz/corpus/${name#fuzz_}" ] && seeds=("fuzz/corpus/${name#fuzz_}")
  "$target" -max_total_time="${FUZZ_SECONDS:-10}" -max_len=4096 "$corpus" "${seeds[@]}" 2>&1 |
    tail -n 1
done
echo "== all tests passed"

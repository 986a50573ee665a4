# shellcheck shell=bash
# The demo installation for the Windows build's end-to-end tests, run under
# the build's emulator (Wine): its tables made by KAVDATA.EXE, fresh copies
# with the chain's stand-ins as KAVTAR.EXE and TORVANE2.EXE, and TORVANE1.EXE
# run on a copy with the suite's session. Sourced by the *_win32_test.sh
# scripts, which all take the same arguments:
#   SCRIPT TORVANE1.EXE KAVDATA.EXE SOURCE_DIR WORK_DIR ENGINE.DLL CHAIN_PROBE.EXE \
#          UNIT_TESTS.EXE EMULATOR...
# (EMULATOR... being the command that runs a Windows program.)
set -euo pipefail
# shellcheck disable=SC2034  # the sourcing tests use what they need of these
program=$1 kavdata=$2 source=$3 work=$4 engine_file=$5 chain_probe=$6 unit_tests=$7
shift 7
wine=("$@")
# shellcheck disable=SC2034
expected=$source/tests/e2e/demo_expected
fail() { echo "FAIL: $*" >&2; exit 1; }

# A Linux path as Windows programs under Wine name it (drive Z: is "/").
windows_path() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }
engine=$(windows_path "$engine_file")

rm -rf "$work"
mkdir -p "$work"

# The installation with its tables, in $work/base, made once by each test.
make_base() {
  base=$work/base
  mkdir -p "$base"
  cp -r "$source/examples/demo/root" "$source/examples/demo/tmp" "$base/"
  KAVBTRV=$engine "${wine[@]}" "$kavdata" build \
    "$(windows_path "$source/examples/demo/description.json")" "$(windows_path "$base/root")" \
    </dev/null >"$work/kavdata.out" 2>&1 || fail "KAVDATA.EXE: $(cat "$work/kavdata.out")"
}

# A fresh copy of the installation in $1, with the chain's stand-ins.
install() {
  rm -rf "$1"
  mkdir -p "$1/bin"
  cp -r "$base/root" "$base/tmp" "$1/"
  cp "$chain_probe" "$1/bin/KAVTAR.EXE"
  cp "$chain_probe" "$1/bin/TORVANE2.EXE"
}

# Runs TORVANE1.EXE on the installation in $1 with the root folder $2
# ($1/root when empty) and the record manager library $3 (our engine when
# absent, none at all for "-", which leaves the suite's WBTRV32.DLL to be
# looked for); the exit code must be $4 (0 when absent) or the test fails.
run() {
  local dir=$1 root=${2:-$1/root} library=${3:-$engine} expected_exit=${4:-0} code=0
  local library_env=(KAVBTRV="$library")
  [ "$library" != - ] || library_env=(-u KAVBTRV)
  ( cd "$dir" && env "${library_env[@]}" KAVROOT="$(windows_path "$root")\\" \
      KAVEXE="$(windows_path "$dir/bin")\\" KAVTMP="$(windows_path "$dir/tmp")" \
      "${wine[@]}" "$program" </dev/null >"$dir/stdout" 2>"$dir/stderr" ) || code=$?
  [ "$code" = "$expected_exit" ] ||
    fail "$dir: exit code $code, not $expected_exit: $(cat "$dir/stderr")"
}

#!/usr/bin/env bash
# The Windows tests, under Wine. These machines run no 32-bit program, so
# the tests use the 64-bit Windows build of the same sources (build/win64),
# over our engine's library KAVREC64.DLL:
#   1. the unit tests (torvane_tests.exe, GoogleTest cross-built from
#      Debian's sources), the Windows platform tests among them;
#   2. the demo installation, its tables made by KAVDATA.EXE, run through
#      TORVANE1.EXE: every invoice, TAR.LST, KAVTAR.INI, KAVHTTP.INI, the run
#      report and the tables must be the bytes of the Linux run
#      (tests/e2e/demo_test.sh), apart from the root and temporary directory
#      prefixes and the random archive name; the chained KAVTAR must start
#      in the root directory with this environment;
#   3. bad input of this platform: no WBTRV32.DLL, KAVBTRV naming a file
#      that is no library, a library without BTRCALL or one of the other
#      word size, paths of 255 and 256 characters, a read-only KAVTAR.EXE
#      and a folder of that name (TORVANE2.EXE then runs next). Every run
#      must end with exit code 0.
# Wine keeps its state in a private prefix under build/win64/wine. The
# console's own tests run a second time on a pseudo-terminal (script), of
# which Wine makes a real console.
#   bash scripts/windows-test.sh
# The Linux reference run uses build/release (built when missing); other
# folders can be named: TORVANE_LINUX_BUILD, TORVANE_WINDOWS_BUILD (for
# build/win64), TORVANE_WINDOWS_BUILD_TYPE (Release), TORVANE_WIN32_BUILD
# (build/win32, whose KAVREC32.DLL, when built, must be refused as a library
# of the other word size).
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
WINDOWS_PACKAGES="g++-mingw-w64-x86-64 googletest wine64" scripts/windows-setup.sh
start=$SECONDS
phase=$SECONDS
lap() { echo "   ($(( SECONDS - phase )) s)"; phase=$SECONDS; }

echo "== 64-bit Windows build"
out=${TORVANE_WINDOWS_BUILD:-$source/build/win64}
cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE="${TORVANE_WINDOWS_BUILD_TYPE:-Release}" >/dev/null
cmake --build "$out" -j"$(nproc)" --target TORVANE1 kavdata kavrec chain_probe torvane_tests
lap

wine=/usr/lib/wine/wine64
export WINEPREFIX=$out/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== Wine prefix (first start)"
  "$wine" wineboot --init >/dev/null 2>&1
  lap
fi

echo "== unit tests under Wine"
( cd "$out" && "$wine" ./torvane_tests.exe --gtest_brief=1 </dev/null )
# The console's own tests need a console: Wine makes one of a terminal, so
# they run once more on a pseudo-terminal, and must neither fail nor skip.
# The terminal's own answers to Wine's queries can reach the console's input
# while a keyboard test runs, so a failed run is tried again, up to three times.
console_run() {
  rm -f "$out/console-tests.xml"
  ( cd "$out" && TERM=dumb script -qec "'$wine' ./torvane_tests.exe --gtest_filter='*ConsoleTest.*' \
      --gtest_output=xml:console-tests.xml" /dev/null </dev/null >"$out/console-tests.log" 2>&1 )
}
console_run || console_run || console_run ||
  { cat -v "$out/console-tests.log" >&2; echo "FAIL: console tests" >&2; exit 1; }
grep -q '<testsuites tests="[1-9][0-9]*" failures="0" disabled="0" errors="0"' \
  "$out/console-tests.xml" && ! grep -q 'result="skipped"' "$out/console-tests.xml" ||
  { cat "$out/console-tests.xml" >&2; echo "FAIL: console tests did not all run" >&2; exit 1; }
echo "console tests on a Wine console: $(grep -o 'testsuites tests="[0-9]*"' \
  "$out/console-tests.xml" | grep -o '[0-9]*') passed"
lap

fail() { echo "FAIL: $*" >&2; exit 1; }
# A Linux path as Windows programs under Wine name it (drive Z: is "/").
windows_path() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }
work=$out/e2e
rm -rf "$work"
mkdir -p "$work"

echo "== Linux reference run"
linux_build=${TORVANE_LINUX_BUILD:-$source/build/release}
if [ ! -x "$linux_build/TORVANE1" ] || [ ! -x "$linux_build/kavdata" ]; then
  scripts/build.sh release >/dev/null
fi
linux=$work/linux
bash tests/e2e/demo_test.sh "$linux_build/TORVANE1" "$linux_build/kavdata" "$source" "$linux"
lap

echo "== demo installation through TORVANE1.EXE"
engine=$(windows_path "$out/KAVREC64.DLL")
base=$work/base
mkdir -p "$base"
cp -r examples/demo/root examples/demo/tmp "$base/"
KAVBTRV=$engine "$wine" "$out/KAVDATA.EXE" build "$(windows_path "$source/examples/demo/description.json")" \
  "$(windows_path "$base/root")" </dev/null >"$work/kavdata.out" 2>&1 ||
  fail "KAVDATA.EXE: $(cat "$work/kavdata.out")"
for table in "$linux"/root/DADES/*.dat; do
  cmp "$table" "$base/root/DADES/$(basename "$table")" ||
    fail "table $(basename "$table") differs from the one kavdata wrote on Linux"
done

# A fresh copy of the installation in $1, with the chain's stand-ins.
install() {
  rm -rf "$1"
  mkdir -p "$1/bin"
  cp -r "$base/root" "$base/tmp" "$1/"
  cp "$out/chain_probe.exe" "$1/bin/KAVTAR.EXE"
  cp "$out/chain_probe.exe" "$1/bin/TORVANE2.EXE"
}
# Runs TORVANE1.EXE on the installation in $1 with the root folder $2
# ($1/root when empty) and the record manager library $3 (our engine when
# absent, none at all for "-", which leaves the suite's WBTRV32.DLL to be
# looked for); exit code 0 or fail.
run() {
  local dir=$1 root=${2:-$1/root} library=${3:-$engine}
  local library_env=(KAVBTRV="$library")
  [ "$library" != - ] || library_env=(-u KAVBTRV)
  ( cd "$dir" && env "${library_env[@]}" KAVROOT="$(windows_path "$root")\\" \
      KAVEXE="$(windows_path "$dir/bin")\\" KAVTMP="$(windows_path "$dir/tmp")" \
      "$wine" "$out/TORVANE1.EXE" </dev/null >"$dir/stdout" 2>"$dir/stderr" ) ||
    fail "$dir: exit code $?, $(cat "$dir/stderr")"
}

demo=$work/demo
install "$demo"
tables_before=$(cat "$demo"/root/DADES/*.dat | sha256sum)
run "$demo"
[ ! -s "$demo/stdout" ] || fail "TORVANE1.EXE wrote to the console: $(cat "$demo/stdout")"
[ ! -s "$demo/stderr" ] || fail "TORVANE1.EXE wrote to stderr: $(cat "$demo/stderr")"
[ "$(cat "$demo"/root/DADES/*.dat | sha256sum)" = "$tables_before" ] || fail "tables changed"

# Both runs with their own prefixes and the archive's random name masked.
normalise() {
  LINUX_ROOT="$linux/root/" LINUX_TMP="$linux/tmp" WINDOWS_ROOT="$(windows_path "$demo/root")\\" \
    WINDOWS_TMP="$(windows_path "$demo/tmp")" perl -0777 -pe '
      BEGIN { @prefixes = ([$ENV{LINUX_ROOT}, "<ROOT>"], [$ENV{WINDOWS_ROOT}, "<ROOT>"],
                           [$ENV{LINUX_TMP}, "<TMP>"], [$ENV{WINDOWS_TMP}, "<TMP>"]); }
      for my $p (@prefixes) { s/\Q$p->[0]\E/$p->[1]/g; }
      s/CSB\\[0-9A-Z]{8}\.TAR/CSB\\<ARCHIVE>.TAR/g;' "$1"
}
invoices=$(cd "$linux/root" && find DOCUMENT -type f | sort)
[ -n "$invoices" ] || fail "the Linux run wrote no invoice"
[ "$(cd "$demo/root" && find DOCUMENT -type f | sort)" = "$invoices" ] ||
  fail "the invoice files differ from the Linux run's"
compared=0
for file in $(echo "$invoices" | sed 's|^|root/|') tmp/TAR.LST tmp/KAVTAR.INI tmp/KAVHTTP.INI \
    tmp/TORVANE1.LOG; do
  [ -f "$demo/$file" ] || fail "$file missing"
  cmp <(normalise "$linux/$file") <(normalise "$demo/$file") ||
    fail "$file differs from the Linux run's: $(diff <(normalise "$linux/$file") \
      <(normalise "$demo/$file") | head -n 5)"
  compared=$((compared + 1))
done
grep -q '^Archive=.*CSB\\[0-9A-Z]\{8\}\.TAR'$'\r$' "$demo/tmp/KAVTAR.INI" || fail "archive name"
[ -d "$demo/root/CSB" ] || fail "no CSB folder"
[ ! -e "$demo/tmp/WinPush.tmp" ] || fail "a window was left on the stack"
root_directory=$(windows_path "$demo/root")
[ "$(cat "$demo/tmp/chain.log")" = "KAVTAR started in $root_directory
KAVTAR arguments=0 KAVROOT=$root_directory\\" ] || fail "KAVTAR: $(cat "$demo/tmp/chain.log")"
echo "demo: $compared files identical to the Linux run's; KAVTAR ran in the root directory"
lap

echo "== bad input"
# The archiver is absent when KAVTAR.EXE is read-only or a folder:
# TORVANE2.EXE runs next, from the program directory, in the root directory.
for kind in read-only folder; do
  dir=$work/kavtar-$kind
  install "$dir"
  rm "$dir/root/KAVTAR.EXE"
  if [ "$kind" = folder ]; then
    mkdir "$dir/root/KAVTAR.EXE"
  else
    cp examples/demo/root/KAVTAR.EXE "$dir/root/"
    chmod a-w "$dir/root/KAVTAR.EXE"  # Wine shows a file without write permission as read-only
  fi
  run "$dir"
  root_directory=$(windows_path "$dir/root")
  [ "$(cat "$dir/tmp/chain.log")" = "TORVANE2 started in $root_directory
TORVANE2 arguments=0 KAVROOT=$root_directory\\" ] ||
    fail "KAVTAR.EXE $kind: $(cat "$dir/tmp/chain.log" 2>/dev/null)"
  [ ! -e "$dir/tmp/KAVTAR.INI" ] || fail "KAVTAR.EXE $kind: the archiver was prepared"
  [ "$(find "$dir/root/DOCUMENT" -type f | wc -l)" = "$(echo "$invoices" | wc -l)" ] ||
    fail "KAVTAR.EXE $kind: invoices"
  echo "KAVTAR.EXE $kind: TORVANE2.EXE ran next"
done

# Record manager libraries that cannot serve: every request answers 20, the
# first table's open fails, the operator's message (on stderr, unattended)
# names the status, nothing is written and nothing is chained.
bad=$work/libraries
mkdir -p "$bad"
echo "no library" >"$bad/NOTALIB.DLL"
libraries=(- "$(windows_path "$bad/NOTALIB.DLL")" "$(windows_path "$bad/MISSING.DLL")"
           KERNEL32.DLL)  # a library without BTRCALL
win32=${TORVANE_WIN32_BUILD:-$source/build/win32}
if [ -f "$win32/KAVREC32.DLL" ]; then
  libraries+=("$(windows_path "$win32/KAVREC32.DLL")")  # the other word size
fi
case_number=0
for library in "${libraries[@]}"; do
  case_number=$((case_number + 1))
  dir=$work/library-$case_number
  install "$dir"
  run "$dir" "" "$library"
  [ "$library" != - ] || library="no KAVBTRV, no WBTRV32.DLL"
  message="NO SE PUEDE ACCEDER AL FICHERO $(windows_path "$dir/root")\\DADES\\TVRebut (20)"
  [ "$(tr -d '\r' <"$dir/stderr")" = "$message" ] || fail "$library: stderr $(cat "$dir/stderr")"
  [ ! -e "$dir/root/DOCUMENT" ] && [ ! -e "$dir/tmp/chain.log" ] || fail "$library: the run went on"
  [ ! -e "$dir/tmp/WinPush.tmp" ] || fail "$library: the message window was left on the stack"
  echo "$library: status 20, message shown, exit code 0"
done

# Paths of 255 characters: a root directory whose table paths are exactly
# 255 characters long opens every table; one character more and the first
# table cannot be opened (status 11): the message, exit code 0.
for length in 255 256; do
  dir=$work/path-$length
  install "$dir"
  prefix=$(windows_path "$dir/")
  deep=$dir/$(printf 'D%.0s' $(seq $(( length - ${#prefix} - 19 ))))
  root_string=$(windows_path "$deep")\\
  # The longest table path is the root + "DADES\TRemeses.dat" (18 characters).
  [ $(( ${#root_string} + 18 )) -eq "$length" ] ||
    fail "the root for $length characters is ${#root_string} long"
  mv "$dir/root" "$deep"
  run "$dir" "$deep"
  if [ "$length" = 255 ]; then
    [ ! -s "$dir/stderr" ] || fail "255: $(cat "$dir/stderr")"
    [ -s "$dir/tmp/TORVANE1.LOG" ] || fail "255: no run report"
  else
    grep -q "(11)"$'\r$' "$dir/stderr" || fail "256: $(cat "$dir/stderr")"
  fi
  echo "table paths of $length characters: exit code 0$([ "$length" = 256 ] && echo ", status 11")"
done
lap

echo "== Windows tests passed in $(( SECONDS - start )) s"

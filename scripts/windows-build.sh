#!/usr/bin/env bash
# The 32-bit Windows build, cross-compiled with MinGW-w64: TORVANE1.EXE,
# KAVDATA.EXE and our engine's record manager library KAVREC32.DLL in
# build/win32/, each checked: `file` must see a 32-bit console program (or
# DLL), `objdump -p` must show KAVREC32.DLL exporting an undecorated BTRCALL
# and the programs importing nothing but Windows' own libraries.
#   bash scripts/windows-build.sh
set -euo pipefail
cd "$(dirname "$0")/.."
WINDOWS_PACKAGES="g++-mingw-w64-i686 file" scripts/windows-setup.sh

out=${TORVANE_WINDOWS_BUILD:-build/win32}
cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DTORVANE_TESTS=OFF >/dev/null
cmake --build "$out" -j"$(nproc)" --target TORVANE1 kavdata kavrec

fail() { echo "windows-build: $*" >&2; exit 1; }
objdump=i686-w64-mingw32-objdump
for program in TORVANE1.EXE KAVDATA.EXE KAVREC32.DLL; do
  [ -f "$out/$program" ] || fail "$out/$program was not built"
  description=$(file -b "$out/$program")
  echo "$program: $description"
  case "$program" in
    *.EXE) expected="PE32 executable (console) Intel 80386" ;;
    *.DLL) expected="PE32 executable (DLL) (console) Intel 80386" ;;
  esac
  [[ "$description" == "$expected"* ]] || fail "$program is not a $expected"
  # Only libraries that every Windows has: no runtime DLL of ours to ship.
  imports=$($objdump -p "$out/$program" | sed -n 's/^\tDLL Name: //p' | tr 'a-z' 'A-Z' | sort -u)
  for library in $imports; do
    case "$library" in
      KERNEL32.DLL | USER32.DLL | MSVCRT.DLL | ADVAPI32.DLL) ;;
      # The system's cryptography that signs invoices (Windows Vista and later).
      CRYPT32.DLL | NCRYPT.DLL | BCRYPT.DLL) ;;
      *) fail "$program needs $library" ;;
    esac
  done
  echo "  imports: $(echo $imports)"
done

exports=$($objdump -p "$out/KAVREC32.DLL" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^\t\[ *[0-9]*\] //p')
echo "KAVREC32.DLL exports: $exports"
[ "$exports" = "BTRCALL" ] || fail "KAVREC32.DLL must export exactly BTRCALL, undecorated"
echo "Windows build ready in $out/"

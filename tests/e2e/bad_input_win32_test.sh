#!/usr/bin/env bash
# Bad input of the Windows platform, under Wine; every run must end with
# exit code 0, 1 where a table cannot be opened, or 2 where invoices could
# not be written:
#   - a read-only KAVTAR.EXE, and a folder of that name: the archiver is
#     absent, so TORVANE2.EXE runs next, from the program directory, in the
#     root directory;
#   - record manager libraries that cannot serve (no KAVBTRV and no
#     WBTRV32.DLL, a file that is no library, a missing one, a library
#     without BTRCALL, and our engine of the other word size when
#     TORVANE_WIN32_BUILD, build/win32 by default, holds KAVREC32.DLL):
#     every request answers 20, the operator's message names the status,
#     nothing is written and nothing is chained;
#   - table paths of 255 characters open (the invoice paths below them are
#     too long to create: each is reported NOT-WRITTEN); one more and the
#     first table cannot be opened (status 11).
# Arguments: see demo_installation_win32.sh.
source "$(dirname "$0")/demo_installation_win32.sh"

make_base
invoice_count=$(cd "$expected" && find DOCUMENT -type f | wc -l)

for kind in read-only folder; do
  dir=$work/kavtar-$kind
  install "$dir"
  rm "$dir/root/KAVTAR.EXE"
  if [ "$kind" = folder ]; then
    mkdir "$dir/root/KAVTAR.EXE"
  else
    cp "$source/examples/demo/root/KAVTAR.EXE" "$dir/root/"
    chmod a-w "$dir/root/KAVTAR.EXE"  # Wine shows a file without write permission as read-only
  fi
  run "$dir"
  root_directory=$(windows_path "$dir/root")
  [ "$(cat "$dir/tmp/chain.log")" = "TORVANE2 started in $root_directory
TORVANE2 arguments=0 KAVROOT=$root_directory\\" ] ||
    fail "KAVTAR.EXE $kind: $(cat "$dir/tmp/chain.log" 2>/dev/null)"
  [ ! -e "$dir/tmp/KAVTAR.INI" ] || fail "KAVTAR.EXE $kind: the archiver was prepared"
  [ "$(find "$dir/root/DOCUMENT" -type f | wc -l)" = "$invoice_count" ] ||
    fail "KAVTAR.EXE $kind: invoices"
  echo "KAVTAR.EXE $kind: TORVANE2.EXE ran next"
done

bad=$work/libraries
mkdir -p "$bad"
echo "no library" >"$bad/NOTALIB.DLL"
libraries=(- "$(windows_path "$bad/NOTALIB.DLL")" "$(windows_path "$bad/MISSING.DLL")"
           KERNEL32.DLL)  # a library without BTRCALL
win32=${TORVANE_WIN32_BUILD:-$source/build/win32}
if [ -f "$win32/KAVREC32.DLL" ]; then
  libraries+=("$(windows_path "$win32/KAVREC32.DLL")")  # the other word size
else
  echo "the other word size: not tried, no $win32/KAVREC32.DLL"
fi
case_number=0
for library in "${libraries[@]}"; do
  case_number=$((case_number + 1))
  dir=$work/library-$case_number
  install "$dir"
  run "$dir" "" "$library" 1
  [ "$library" != - ] || library="no KAVBTRV, no WBTRV32.DLL"
  message="NO SE PUEDE ACCEDER AL FICHERO $(windows_path "$dir/root")\\DADES\\TVRebut (20)"
  [ "$(tr -d '\r' <"$dir/stderr")" = "$message" ] || fail "$library: stderr $(cat "$dir/stderr")"
  [ ! -e "$dir/root/DOCUMENT" ] && [ ! -e "$dir/tmp/chain.log" ] || fail "$library: the run went on"
  [ ! -e "$dir/tmp/WinPush.tmp" ] || fail "$library: the message window was left on the stack"
  echo "$library: status 20, message shown, exit code 1"
done

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
  # With 255 characters the tables open, but the invoice paths are beyond
  # what Windows creates: every invoice is reported, none is listed, exit 2.
  run "$dir" "$deep" "" "$([ "$length" = 255 ] && echo 2 || echo 1)"
  if [ "$length" = 255 ]; then
    grep -q "some invoices were not written" "$dir/stderr" || fail "255: $(cat "$dir/stderr")"
    [ "$(grep -c "^NOT-WRITTEN" "$dir/tmp/TORVANE1.LOG")" = "$invoice_count" ] ||
      fail "255: run report $(cat "$dir/tmp/TORVANE1.LOG")"
  else
    grep -q "(11)"$'\r$' "$dir/stderr" || fail "256: $(cat "$dir/stderr")"
  fi
  echo "table paths of $length characters: exit code $([ "$length" = 256 ] && echo "1, status 11" || echo "2, invoices reported")"
done

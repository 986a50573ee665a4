#!/usr/bin/env bash
# TORVANE1 given any argument says what it is and runs nothing: on a ready
# demo installation, with every variable set, it exits 2, prints its
# variables and outputs, and no output file appears.
#   command_line_test.sh TORVANE1 KAVDATA SOURCE_DIR WORK_DIR
set -euo pipefail
program=$1 kavdata=$2 source=$3 work=$4
demo=$source/examples/demo
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
cp -r "$demo/root" "$demo/tmp" "$demo/bin" "$work/"
"$kavdata" build "$demo/description.json" "$work/root" >/dev/null
before=$(cd "$work" && find . | sort)
for arguments in "--help" "-h" "anything" "--version extra"; do
  set +e
  ( cd "$work" && KAVROOT="$work/root/" KAVEXE="$work/bin/" KAVTMP="$work/tmp" \
      "$program" $arguments </dev/null >"$work.stdout" 2>"$work.stderr" )
  code=$?
  set -e
  [ $code -eq 2 ] || fail "TORVANE1 $arguments: exit $code, not 2"
  for text in KAVROOT KAVEXE KAVTMP TERM TORVANE1.LOG TAR.LST DOCUMENT/VER "Exit codes"; do
    grep -qF "$text" "$work.stdout" || fail "TORVANE1 $arguments does not mention $text"
  done
  [ ! -s "$work.stderr" ] || fail "TORVANE1 $arguments wrote to stderr"
  [ "$(cd "$work" && find . | sort)" = "$before" ] || fail "TORVANE1 $arguments wrote files"
done
rm -f "$work.stdout" "$work.stderr"
"$kavdata" --version | grep -q '^kavdata ' || fail "kavdata --version"
echo "command line: TORVANE1 with arguments ran nothing"

#!/usr/bin/env bash
# The console's own unit tests (*ConsoleTest.*) on a real Windows console:
# Wine makes one of a terminal, here a pseudo-terminal that script(1) opens.
# Every one of them must run and pass: none may skip for want of a console.
# Arguments: see demo_installation_win32.sh (the unit tests are used).
source "$(dirname "$0")/demo_installation_win32.sh"

# script(1) types the terminal's end-of-file key (Ctrl+D) once its own
# standard input ends, and Wine's console takes that for key presses, which
# then reach whichever keyboard test runs. So its standard input is a pipe
# that this test holds open, with nothing written to it, until the run ends.
mkfifo "$work/keyboard"
exec 3<>"$work/keyboard"
command=$(printf '%q ' "${wine[@]}" "$unit_tests" '--gtest_filter=*ConsoleTest.*' \
  --gtest_output=xml:console-tests.xml)
status=0
( cd "$work" && SHELL=/bin/bash TERM=dumb timeout 300 script -qec "$command" /dev/null \
    <&3 >"$work/console-tests.log" 2>&1 ) || status=$?
exec 3>&-
if [ "$status" != 0 ] || [ ! -f "$work/console-tests.xml" ]; then
  cat -v "$work/console-tests.log" >&2
  fail "the console tests on a terminal ended with exit code $status"
fi
xml=$work/console-tests.xml
if ! grep -q '<testsuites tests="[1-9][0-9]*" failures="0" disabled="0" errors="0"' "$xml" ||
    grep -q 'result="skipped"' "$xml" || ! grep -q 'classname="AttachedConsoleTest"' "$xml"; then
  cat "$xml" >&2
  fail "the console tests did not all run and pass"
fi
echo "console tests on a Wine console: $(grep -o 'testsuites tests="[0-9]*"' "$xml" |
  grep -o '[0-9]*') passed, none skipped"

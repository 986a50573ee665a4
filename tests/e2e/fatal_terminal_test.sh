#!/usr/bin/env bash
# A table that cannot be opened, in a real terminal: TORVANE1 runs inside
# tmux against a root without tables or definitions; the framed message must
# show in the session language, the program must wait for a key, then end
# with exit code 1, leaving no window stack file behind and a run report
# that says why.
#   fatal_terminal_test.sh TORVANE1 KAVDATA SOURCE_DIR WORK_DIR
set -euo pipefail
program=$1 work=$4
fail() { echo "FAIL: $*" >&2; tmux kill-session -t "$session" 2>/dev/null || true; exit 1; }
if ! command -v tmux >/dev/null; then
  echo "SKIPPED: tmux is not installed"
  exit 0
fi

rm -rf "$work"
mkdir -p "$work/root" "$work/tmp"
printf '[Sistema]\r\nIdioma=SPA\r\n' > "$work/tmp/PexaTerm.ini"
session=torvane-fatal-$$
tmux new-session -d -s "$session" -x 80 -y 25 \
  "cd '$work' && KAVROOT='$work/root/' KAVEXE='$work/bin/' KAVTMP='$work/tmp' '$program'; echo \"exit=\$?\" > '$work/exit'; sleep 30"

# Waits until the whole window is drawn (its bottom line is drawn last);
# a loaded machine may take seconds.
screen=""
for _ in $(seq 1 200); do
  screen=$(tmux capture-pane -p -t "$session")
  echo "$screen" | grep -q '└─' && [ -f "$work/tmp/WinPush.tmp" ] && break
  sleep 0.1
done
# A long path wraps onto a second line of the window.
echo "$screen" | grep -q "NO SE PUEDE ACCEDER AL FICHERO" || fail "no message on screen: $screen"
echo "$screen" | grep -q ' (24) *│' || fail "no status on screen: $screen"
echo "$screen" | grep -q '┌─' || fail "no frame on screen"
echo "$screen" | grep -q '└─' || fail "no frame bottom on screen"
[ -f "$work/tmp/WinPush.tmp" ] || fail "no window stack while the message shows"
[ ! -f "$work/exit" ] || fail "the program did not wait for a key"

tmux send-keys -t "$session" x
for _ in $(seq 1 200); do
  [ -f "$work/exit" ] && break
  sleep 0.1
done
tmux kill-session -t "$session" 2>/dev/null || true
[ "$(cat "$work/exit" 2>/dev/null)" = "exit=1" ] || fail "exit code: $(cat "$work/exit" 2>/dev/null)"
[ ! -f "$work/tmp/WinPush.tmp" ] || fail "WinPush.tmp left behind"
grep -q "^FATAL"$'\t'".*TVRebut"$'\t'"24"$'\r'"\$" "$work/tmp/TORVANE1.LOG" ||
  fail "no FATAL line in the run report: $(cat -v "$work/tmp/TORVANE1.LOG" 2>/dev/null)"
echo "fatal message shown, key awaited, exit code 1, window stack removed, FATAL reported"

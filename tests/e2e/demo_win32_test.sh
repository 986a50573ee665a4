#!/usr/bin/env bash
# The demo installation on the Windows build, under Wine, over our engine's
# library: the tables KAVDATA.EXE makes and everything TORVANE1.EXE writes
# (every invoice, TAR.LST, KAVTAR.INI, KAVHTTP.INI, the run report) must be
# the expected bytes of demo_expected/, the same that the Linux run must
# write (demo_test.sh), apart from the root and temporary directory prefixes
# and the random archive name; the tables stay as they were, and the chained
# KAVTAR starts in the root directory with the suite's environment.
# Arguments: see demo_installation_win32.sh.
source "$(dirname "$0")/demo_installation_win32.sh"
source "$source/tests/e2e/demo_outputs.sh"

make_base
demo_check_tables "$expected" "$base/root/DADES" ||
  fail "KAVDATA.EXE's tables differ from the expected ones"

demo=$work/demo
install "$demo"
tables_before=$(cat "$demo"/root/DADES/*.dat | sha256sum)
run "$demo"
[ ! -s "$demo/stdout" ] || fail "TORVANE1.EXE wrote to the console: $(cat "$demo/stdout")"
[ ! -s "$demo/stderr" ] || fail "TORVANE1.EXE wrote to stderr: $(cat "$demo/stderr")"
[ "$(cat "$demo"/root/DADES/*.dat | sha256sum)" = "$tables_before" ] || fail "tables changed"

root_prefix="$(windows_path "$demo/root")\\"
tmp_prefix=$(windows_path "$demo/tmp")
invoices=$(cd "$expected" && find DOCUMENT -type f | sort)
[ "$(cd "$demo/root" && find DOCUMENT -type f | sort)" = "$invoices" ] ||
  fail "the invoice files differ from the expected ones"
for invoice in $invoices; do
  cmp "$expected/$invoice" "$demo/root/$invoice" || fail "$invoice differs from the expected bytes"
done
# The file list names the invoices by their full path, each line ending in CR LF.
demo_normalise "$root_prefix" "$tmp_prefix" "$demo/tmp/TAR.LST" |
  cmp - <(sed 's/^/<ROOT>/; s/$/\r/' "$expected/TAR.LST") ||
  fail "TAR.LST differs from the expected one: $(cat -v "$demo/tmp/TAR.LST")"
demo_check_outputs "$expected" "$demo/tmp" "$root_prefix" "$tmp_prefix" ||
  fail "the profiles or the run report differ from the expected ones"
grep -q '^Archive=.*CSB\\[0-9A-Z]\{8\}\.TAR'$'\r$' "$demo/tmp/KAVTAR.INI" || fail "archive name"
[ -d "$demo/root/CSB" ] || fail "no CSB folder"
[ ! -e "$demo/tmp/WinPush.tmp" ] || fail "a window was left on the stack"
root_directory=$(windows_path "$demo/root")
[ "$(cat "$demo/tmp/chain.log")" = "KAVTAR started in $root_directory
KAVTAR arguments=0 KAVROOT=$root_directory\\" ] || fail "KAVTAR: $(cat "$demo/tmp/chain.log")"
echo "demo: tables and $(( $(echo "$invoices" | wc -l) + 1 + ${#demo_outputs[@]} )) files" \
  "as expected; KAVTAR ran in the root directory"

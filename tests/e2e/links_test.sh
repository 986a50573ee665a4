#!/usr/bin/env bash
# Links planted in the demo installation are never written through: a
# symbolic link and a hard link at invoice names, a symbolic link in place
# of a unit folder, and symbolic links (one of them dangling) at TAR.LST and
# TORVANE1.LOG. Outside files stay as they were; the invoice of the linked
# folder is reported NOT-WRITTEN and the run ends with exit code 2. A root
# that is itself a link works as it always did.
#   links_test.sh TORVANE1 KAVDATA SOURCE_DIR WORK_DIR
set -euo pipefail
program=$1 kavdata=$2 source=$3 work=$4
demo=$source/examples/demo
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/outside/folder" "$work/disk"
cp -r "$demo/root" "$demo/tmp" "$demo/bin" "$work/disk/"
ln -s "$work/disk/root" "$work/root"  # the root moved to a bigger disk
"$kavdata" build "$demo/description.json" "$work/root" >/dev/null
for name in symbolic hard list report; do echo "outside $name" >"$work/outside/$name"; done

invoices=$work/root/DOCUMENT/VER
mkdir -p "$invoices/0012/0001" "$invoices/0012/0002" "$invoices/0013"
ln -s "$work/outside/symbolic" "$invoices/0012/0001/VNA35MS5.xml"
ln "$work/outside/hard" "$invoices/0012/0002/VNA35MS5.xml"
ln -s "$work/outside/folder" "$invoices/0013/0001"
ln -s "$work/outside/list" "$work/disk/tmp/TAR.LST"
ln -s "$work/outside/missing" "$work/disk/tmp/TORVANE1.LOG"

code=0
( cd "$work" && env -u TERM KAVROOT="$work/root/" KAVEXE="$work/disk/bin/" KAVTMP="$work/disk/tmp" \
    "$program" </dev/null >"$work/stdout" 2>"$work/stderr" ) || code=$?
[ "$code" = 2 ] || fail "exit code $code, not 2: $(cat "$work/stderr")"

for name in symbolic hard list; do
  [ "$(cat "$work/outside/$name")" = "outside $name" ] || fail "outside file $name was written"
done
[ ! -e "$work/outside/missing" ] || fail "the dangling link was followed"
[ -z "$(ls -A "$work/outside/folder")" ] || fail "invoices went into the linked folder"
for file in "$invoices/0012/0001/VNA35MS5.xml" "$invoices/0012/0002/VNA35MS5.xml" \
    "$work/disk/tmp/TAR.LST" "$work/disk/tmp/TORVANE1.LOG"; do
  [ -f "$file" ] && [ ! -L "$file" ] || fail "$file is not a file of its own"
done
[ "$(stat -c %h "$invoices/0012/0002/VNA35MS5.xml")" = 1 ] || fail "the hard link was written through"
xmllint --noout "$invoices/0012/0001/VNA35MS5.xml" || fail "the replaced invoice is not whole"
grep -q "^NOT-WRITTEN"$'\t'".*0013\\\\0001\\\\VNA35MS5.xml" "$work/disk/tmp/TORVANE1.LOG" ||
  fail "the linked folder's invoice was not reported: $(cat -v "$work/disk/tmp/TORVANE1.LOG")"
grep -q "^END"$'\t' "$work/disk/tmp/TORVANE1.LOG" || fail "the report has no END line"
echo "links replaced or refused, never written through; exit code 2"

#!/usr/bin/env bash
# End to end on the demo installation: builds its tables with kavdata (the
# expected bytes), runs TORVANE1, and checks every output: the invoices
# against the expected bytes and (when TORVANE_SCHEMA_DIR names a folder with
# the official schemas) against the Facturae 3.0 schema, the file list, both
# profiles and the run report against the expected ones, the chained
# program, and that the tables were not changed. The Windows build's
# demo_win32_test.sh holds its run to the same expected files.
#   [TORVANE_SCHEMA_DIR=FOLDER] demo_test.sh TORVANE1 KAVDATA SOURCE_DIR WORK_DIR
set -euo pipefail
program=$1 kavdata=$2 source=$3 work=$4
demo=$source/examples/demo
expected=$source/tests/e2e/demo_expected
source "$source/tests/e2e/demo_outputs.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
cp -r "$demo/root" "$demo/tmp" "$demo/bin" "$work/"
"$kavdata" build "$demo/description.json" "$work/root" >/dev/null
demo_check_tables "$expected" "$work/root/DADES" || fail "the tables differ from the expected ones"
tables_before=$(cat "$work"/root/DADES/*.dat | sha256sum)

( cd "$work" && env -u TERM KAVROOT="$work/root/" KAVEXE="$work/bin/" KAVTMP="$work/tmp" \
    "$program" </dev/null >"$work/stdout" 2>"$work/stderr" ) || fail "exit code $?"
[ ! -s "$work/stdout" ] || fail "the program wrote to the console: $(cat "$work/stdout")"
[ ! -s "$work/stderr" ] || fail "the program wrote to stderr: $(cat "$work/stderr")"
[ "$(cat "$work"/root/DADES/*.dat | sha256sum)" = "$tables_before" ] || fail "tables changed"

cd "$work/root"
invoices=$(find DOCUMENT/VER -name '*.xml' | sort)
[ -n "$invoices" ] || fail "no invoice written"
for invoice in $invoices; do
  xmllint --noout "$invoice" || fail "$invoice is not well-formed"
done

schemas=${TORVANE_SCHEMA_DIR:-}
if [ -n "$schemas" ] && [ -f "$schemas/Facturaev3_0.xsd" ]; then
  for invoice in $invoices; do
    xmllint --noout --schema "$schemas/Facturaev3_0.xsd" "$invoice" 2>"$work/xsd.log" ||
      fail "$invoice does not pass the Facturae 3.0 schema: $(cat "$work/xsd.log")"
  done
  echo "schema: $(echo "$invoices" | wc -l) invoices pass Facturaev3_0.xsd"
else
  echo "schema: SKIPPED, no Facturaev3_0.xsd in TORVANE_SCHEMA_DIR (${schemas:-not set})"
fi

diff <(cd "$expected" && find DOCUMENT -type f | sort) <(echo "$invoices") ||
  fail "the invoice files differ from the expected ones"
for invoice in $invoices; do
  cmp "$expected/$invoice" "$invoice" || fail "$invoice differs from the expected bytes"
done
tr -d '\r' < "$work/tmp/TAR.LST" | sed "s|^$work/root/||" | diff "$expected/TAR.LST" - ||
  fail "TAR.LST differs"
demo_check_outputs "$expected" "$work/tmp" "$work/root/" "$work/tmp" ||
  fail "the profiles or the run report differ from the expected ones"

# Every listed file is a series B invoice that exists.
while IFS= read -r line; do
  file=$(echo "$line" | tr -d '\r' | tr '\\' '/')
  [ -f "$file" ] || fail "listed file $file missing"
  grep -q '<PaymentMeans>02</PaymentMeans>' "$file" || fail "listed $file is no direct debit"
done < "$work/tmp/TAR.LST"
[ "$(grep -c . "$work/tmp/TAR.LST")" = "$(grep -l '<PaymentMeans>02' $invoices | wc -l)" ] ||
  fail "not every direct debit is listed"

# The archiver's and the uploader's profiles, and the chain.
grep -q $'^\\[Tar\\]\r$' "$work/tmp/KAVTAR.INI" || fail "KAVTAR.INI has no [Tar]"
grep -q "^Archive=$work/root/CSB\\\\[0-9A-Z]\{8\}\\.TAR"$'\r$' "$work/tmp/KAVTAR.INI" ||
  fail "KAVTAR.INI archive name: $(cat "$work/tmp/KAVTAR.INI")"
grep -q $'^Site=factures.pexa-demo.example\r$' "$work/tmp/KAVHTTP.INI" || fail "KAVHTTP.INI site"
grep -q $'^1=NIF=ESB66554433\r$' "$work/tmp/KAVHTTP.INI" || fail "KAVHTTP.INI NIF"
grep -q "^KAVTAR started in $work/root\$" "$work/tmp/chain.log" || fail "KAVTAR did not run in root"
[ -d "$work/root/CSB" ] || fail "no CSB folder"

# The run report names every invoice and closes with the counts.
count=$(echo "$invoices" | wc -l)
[ "$(grep -c '^INVOICE' "$work/tmp/TORVANE1.LOG")" = "$count" ] || fail "report invoice lines"
grep -q "^END" "$work/tmp/TORVANE1.LOG" || fail "report has no END line"
echo "demo: $count invoices, $(grep -c . "$work/tmp/TAR.LST") listed"

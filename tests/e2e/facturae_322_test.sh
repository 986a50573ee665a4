#!/usr/bin/env bash
# Facturae 3.2.2 end to end, with a throw-away certificate authority and
# signing certificate made here by openssl:
#  1. the demo installation and a generated one of a few thousand units,
#     signed: every invoice passes the 3.2.2 schema (when TORVANE_SCHEMA_DIR
#     has it), verifies with xmlsec1 against the authority, and has taxes
#     that agree at every level (check_invoice_taxes.py); the same files,
#     file list and totals as the 3.0 run of the same installation;
#  2. one changed amount makes the verification fail;
#  3. an unknown version, a missing certificate, a wrong password and an
#     expired certificate each end the run with exit code 3, a NOT-STARTED
#     report line, one line on stderr and nothing else written.
#   [TORVANE_SCHEMA_DIR=FOLDER] facturae_322_test.sh TORVANE1 KAVDATA SOURCE_DIR WORK_DIR
set -euo pipefail
program=$1 kavdata=$2 source=$3 work=$4
demo=$source/examples/demo
password=prova-$$
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v xmlsec1 >/dev/null || fail "xmlsec1 is not installed (scripts/setup.sh installs it)"

rm -rf "$work"
mkdir -p "$work"
bash "$source/tests/e2e/make_signing_certificate.sh" "$work/ca" "$password"
bash "$source/tests/e2e/make_signing_certificate.sh" "$work/expired" "$password" 0

# Runs TORVANE1 on the installation DIR (root/, tmp/, bin/) with a fresh
# copy of its session; sets $code.
run() {
  local dir=$1
  rm -rf "$dir/session" "$dir/root/DOCUMENT" "$dir/root/CSB"
  cp -r "$dir/tmp" "$dir/session"
  code=0
  ( cd "$dir" && env -u TERM KAVCERTPASS="${2-$password}" KAVROOT="$dir/root/" \
      KAVEXE="$dir/bin/" KAVTMP="$dir/session" "$program" </dev/null >"$dir/stdout" \
      2>"$dir/stderr" ) || code=$?
}
# Sets the [Facturae] section of DIR's Pexa.ini to the lines given.
facturae_section() {
  local dir=$1
  shift
  perl -0777 -i -pe 's/\r\n\[Facturae\]\r\n.*//s' "$dir/root/Pexa.ini"
  printf '\r\n[Facturae]\r\n' >>"$dir/root/Pexa.ini"
  for line in "$@"; do printf '%s\r\n' "$line" >>"$dir/root/Pexa.ini"; done
}
invoices_of() { (cd "$1/root" && find DOCUMENT -name '*.xml' | sort); }
# The run report's invoice lines: file, owner, unit, number, total.
report_invoices() { grep -a '^INVOICE' "$1/session/TORVANE1.LOG" | sed "s|$1/||"; }

schemas=${TORVANE_SCHEMA_DIR:-}
check_invoices() {
  local dir=$1 list
  list=$(invoices_of "$dir")
  [ -n "$list" ] || fail "$dir: no invoice written"
  if [ -n "$schemas" ] && [ -f "$schemas/Facturaev3_2_2.xsd" ]; then
    (cd "$dir/root" && echo "$list" | xargs -n 400 xmllint --noout \
        --schema "$schemas/Facturaev3_2_2.xsd" 2>&1 | grep -v ' validates$') &&
      fail "$dir: invoices do not pass the 3.2.2 schema"
    echo "schema: $(echo "$list" | wc -l) invoices of $(basename "$dir") pass Facturaev3_2_2.xsd"
  else
    echo "schema: SKIPPED, no Facturaev3_2_2.xsd in TORVANE_SCHEMA_DIR (${schemas:-not set})"
  fi
  (cd "$dir/root" && echo "$list" | xargs python3 "$source/tests/e2e/check_invoice_taxes.py") ||
    fail "$dir: taxes disagree"
  local failed
  failed=$(cd "$dir/root" && echo "$list" | xargs -P "$(nproc)" -I{} sh -c \
    'xmlsec1 --verify --trusted-pem "$1" --id-attr:Id "http://uri.etsi.org/01903/v1.3.2#:SignedProperties" "$2" >/dev/null 2>&1 || echo "$2"' \
    _ "$work/ca/ca.pem" {})
  [ -z "$failed" ] || fail "$dir: signatures that do not verify: $failed"
  echo "signature: $(echo "$list" | wc -l) invoices of $(basename "$dir") verify"
}

# 1. The demo and a generated installation: 3.0 first, then signed 3.2.2.
mkdir -p "$work/demo"
cp -r "$demo/root" "$demo/tmp" "$demo/bin" "$work/demo/"
"$kavdata" build "$demo/description.json" "$work/demo/root" >/dev/null
"$kavdata" generate --units 2000 --seed 11 "$work/generated" >/dev/null
mkdir -p "$work/generated/bin"
cp "$demo"/bin/* "$work/generated/bin/"
for dir in "$work/demo" "$work/generated"; do
  run "$dir"
  [ "$code" = 0 ] || fail "$dir: 3.0 run ended with $code: $(cat "$dir/stderr")"
  invoices_of "$dir" >"$dir/files-3.0"
  report_invoices "$dir" >"$dir/report-3.0"
  tr -d '\r' <"$dir/session/TAR.LST" >"$dir/list-3.0"
  cp "$work/ca/signer.p12" "$dir/root/firma.p12"
  facturae_section "$dir" "Versio=3.2.2" "Certificat=firma.p12"
  run "$dir"
  [ "$code" = 0 ] || fail "$dir: 3.2.2 run ended with $code: $(cat "$dir/stderr")"
  [ ! -s "$dir/stderr" ] || fail "$dir: stderr: $(cat "$dir/stderr")"
  invoices_of "$dir" | diff "$dir/files-3.0" - || fail "$dir: other invoice files than 3.0"
  report_invoices "$dir" | diff "$dir/report-3.0" - || fail "$dir: other totals than 3.0"
  tr -d '\r' <"$dir/session/TAR.LST" | diff "$dir/list-3.0" - || fail "$dir: other file list"
  check_invoices "$dir"
done
first=$(cd "$work/demo/root" && find DOCUMENT -name '*.xml' | sort | head -1)
head -c 39 "$work/demo/root/$first" | grep -q '^<?xml version="1.0" encoding="UTF-8"?>' ||
  fail "no UTF-8 declaration"
! grep -q $'\r' "$work/demo/root/$first" || fail "CR in a 3.2.2 invoice"

# 2. One changed amount: the signature no longer verifies.
tampered=$work/tampered.xml
perl -pe 's|<InvoiceTotal>(\d+)\.|"<InvoiceTotal>".($1 + 1)."."|e' "$work/demo/root/$first" >"$tampered"
! cmp -s "$tampered" "$work/demo/root/$first" || fail "nothing was changed"
if xmlsec1 --verify --trusted-pem "$work/ca/ca.pem" \
    --id-attr:Id "http://uri.etsi.org/01903/v1.3.2#:SignedProperties" "$tampered" >/dev/null 2>&1; then
  fail "a changed amount still verifies"
fi

# 3. Settings the run cannot follow.
dir=$work/demo
cp "$work/expired/signer.p12" "$dir/root/caducat.p12"
expect_not_started() {
  local what=$1
  shift
  [ "$code" = 3 ] || fail "$what: exit code $code, not 3"
  [ ! -e "$dir/root/DOCUMENT" ] || fail "$what: invoices were written"
  [ ! -e "$dir/session/TAR.LST" ] || fail "$what: a file list was written"
  [ ! -e "$dir/session/KAVTAR.INI" ] || fail "$what: the archiver was prepared"
  [ ! -e "$dir/session/chain.log" ] || fail "$what: a program was started"
  [ "$(wc -l <"$dir/stderr")" = 1 ] || fail "$what: stderr is not one line: $(cat "$dir/stderr")"
  grep -aq "^NOT-STARTED" "$dir/session/TORVANE1.LOG" || fail "$what: no NOT-STARTED line"
  echo "not started ($what): $(cat "$dir/stderr")"
}
facturae_section "$dir" "Versio=3.3"
run "$dir"
expect_not_started "unknown version"
facturae_section "$dir" "Versio=3.2.2" "Certificat=$dir/root/absent.p12"
run "$dir"
expect_not_started "missing certificate"
facturae_section "$dir" "Versio=3.2.2" "Certificat=firma.p12"
run "$dir" "not-the-password"
expect_not_started "wrong password"
facturae_section "$dir" "Versio=3.2.2" "Certificat=caducat.p12"
run "$dir"
expect_not_started "expired certificate"
echo "facturae 3.2.2: all checks passed"

#!/usr/bin/env bash
# Signed Facturae 3.2.2 on the Windows build, under Wine: TORVANE1.EXE signs
# the demo installation with a throw-away certificate (made here by openssl)
# through the system's cryptography, and the Linux side verifies every
# invoice with xmlsec1 against the authority and the 3.2.2 schema (when
# TORVANE_SCHEMA_DIR has it); a wrong password and an expired certificate
# end the run with exit code 3 and nothing written.
# Arguments: see demo_installation_win32.sh.
source "$(dirname "$0")/demo_installation_win32.sh"
command -v xmlsec1 >/dev/null || fail "xmlsec1 is not installed (scripts/setup.sh installs it)"

password=prova-$$
bash "$source/tests/e2e/make_signing_certificate.sh" "$work/ca" "$password"
bash "$source/tests/e2e/make_signing_certificate.sh" "$work/expired" "$password" 0
make_base
demo=$work/demo
install "$demo"
cp "$work/ca/signer.p12" "$demo/root/firma.p12"
cp "$work/expired/signer.p12" "$demo/root/caducat.p12"
facturae_section() {
  perl -0777 -i -pe 's/\r\n\[Facturae\]\r\n.*//s' "$demo/root/Pexa.ini"
  printf '\r\n[Facturae]\r\nVersio=3.2.2\r\nCertificat=%s\r\n' "$1" >>"$demo/root/Pexa.ini"
}

facturae_section firma.p12
KAVCERTPASS=$password run "$demo"
invoices=$(cd "$demo/root" && find DOCUMENT -name '*.xml' | sort)
[ -n "$invoices" ] || fail "no invoice written"
schemas=${TORVANE_SCHEMA_DIR:-}
for invoice in $invoices; do
  xmlsec1 --verify --trusted-pem "$work/ca/ca.pem" \
    --id-attr:Id "http://uri.etsi.org/01903/v1.3.2#:SignedProperties" "$demo/root/$invoice" \
    >"$work/xmlsec.log" 2>&1 || fail "$invoice does not verify: $(cat "$work/xmlsec.log")"
  if [ -n "$schemas" ] && [ -f "$schemas/Facturaev3_2_2.xsd" ]; then
    xmllint --noout --schema "$schemas/Facturaev3_2_2.xsd" "$demo/root/$invoice" 2>/dev/null ||
      fail "$invoice does not pass the 3.2.2 schema"
  fi
done
echo "windows signing: $(echo "$invoices" | wc -l) invoices verify"

for bad in "firma.p12 not-the-password" "caducat.p12 $password"; do
  set -- $bad
  rm -rf "$demo/root/DOCUMENT" "$demo/tmp/TAR.LST"
  facturae_section "$1"
  KAVCERTPASS=$2 run "$demo" "" "" 3
  [ ! -e "$demo/root/DOCUMENT" ] || fail "$1: invoices were written"
  grep -aq '^NOT-STARTED' "$demo/tmp/TORVANE1.LOG" || fail "$1: no NOT-STARTED line"
done
echo "windows signing: wrong password and expired certificate end with exit code 3"

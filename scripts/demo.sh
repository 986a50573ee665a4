#!/usr/bin/env bash
# Builds the program and the data tool, makes the demo installation from
# examples/demo (tables from description.json, profiles, language file,
# session folder), runs TORVANE1 on it and shows what it wrote.
#   bash scripts/demo.sh            Facturae 3.0 invoices, as always
#   bash scripts/demo.sh --signed   signed Facturae 3.2.2 invoices, with a demo
#                                   certificate authority and certificate made
#                                   on the fly (build/demo/cert/); each invoice
#                                   is checked against the 3.2.2 schema and
#                                   verified with xmlsec1
set -euo pipefail
cd "$(dirname "$0")/.."
signed=0
case "${1:-}" in
  "") ;;
  --signed) signed=1 ;;
  *) echo "demo.sh: unknown option $1 (use --signed)" >&2; exit 2 ;;
esac
scripts/setup.sh
scripts/build.sh release >/dev/null

out=$PWD/build/demo
rm -rf "$out"
mkdir -p "$out"
cp -r examples/demo/root examples/demo/tmp examples/demo/bin "$out/"
build/release/kavdata build examples/demo/description.json "$out/root"
if [ "$signed" = 1 ]; then
  export KAVCERTPASS=demo-$$
  bash tests/e2e/make_signing_certificate.sh "$out/cert" "$KAVCERTPASS"
  cp "$out/cert/signer.p12" "$out/root/Demo.p12"
  printf '\r\n[Facturae]\r\nVersio=3.2.2\r\nCertificat=Demo.p12\r\n' >>"$out/root/Pexa.ini"
fi

# The suite's session: root and program directories end with their
# separator; the temporary directory gets one from the program.
( cd "$out" && env -u TERM KAVROOT="$out/root/" KAVEXE="$out/bin/" KAVTMP="$out/tmp" \
    "$OLDPWD/build/release/TORVANE1" </dev/null )
echo "TORVANE1 ended with exit code $?"

invoices=$(find "$out/root/DOCUMENT/VER" -name '*.xml' | sort)
count=$(echo "$invoices" | grep -c . || true)
bad=0
for invoice in $invoices; do
  xmllint --noout "$invoice" || bad=$((bad + 1))
done
if [ "$signed" = 1 ]; then
  schema=${TORVANE_SCHEMA_DIR:-../shared/schemas}/Facturaev3_2_2.xsd
  for invoice in $invoices; do
    if [ -f "$schema" ]; then
      xmllint --noout --schema "$schema" "$invoice" 2>/dev/null || bad=$((bad + 1))
    fi
    xmlsec1 --verify --trusted-pem "$out/cert/ca.pem" \
      --id-attr:Id "http://uri.etsi.org/01903/v1.3.2#:SignedProperties" "$invoice" \
      >/dev/null 2>&1 || bad=$((bad + 1))
  done
  echo "Signed Facturae 3.2.2: every invoice checked against $([ -f "$schema" ] &&
    echo "the 3.2.2 schema and ")xmlsec1 with the demo authority $out/cert/ca.pem"
fi
echo
echo "Invoices written: $count (well-formed$([ "$signed" = 1 ] && echo ", valid and verified"): $((count - bad)))  under $out/root/DOCUMENT/VER/"
echo "$invoices" | sed "s|$out/||; s|^|  |"
echo
echo "File list (direct debits):    $out/tmp/TAR.LST"
sed 's/\r$//; s/^/  /' "$out/tmp/TAR.LST"
echo "Archiver profile:             $out/tmp/KAVTAR.INI"
echo "Uploader profile:             $out/tmp/KAVHTTP.INI"
echo "Chained programs:             $(tr '\n' ';' < "$out/tmp/chain.log" 2>/dev/null)"
echo
echo "Run report ($out/tmp/TORVANE1.LOG):"
iconv -f CP850 -t UTF-8 "$out/tmp/TORVANE1.LOG" | sed 's/\r$//' | head -n 8 | sed 's/^/  /'
echo "  ..."
iconv -f CP850 -t UTF-8 "$out/tmp/TORVANE1.LOG" | sed 's/\r$//' | tail -n 1 | sed 's/^/  /'
[ "$bad" -eq 0 ] && [ "$count" -gt 0 ]

#!/usr/bin/env bash
# kavview over the demo invoices (Facturae 3.0, code page 850) and a 3.2.2
# invoice in UTF-8: each page holds the invoice's number, tenant and total as
# the XML has them, the account only by its last four digits, labels in the
# invoice's language, and nothing that runs or loads; a tree gets its index;
# bad invoices and bad command lines are refused with the file named.
#   kavview_test.sh TORVANE1 KAVDATA SOURCE_DIR WORK_DIR
set -euo pipefail
kavdata=$2 source=$3 work=$4
kavview=$(dirname "$kavdata")/kavview
invoices=$source/tests/e2e/demo_expected/DOCUMENT
fixture=$source/tests/e2e/invoices/factura_3_2_2.xml
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$kavview" ] || { echo "kavview: SKIPPED, not built (libxslt missing when configured)"; exit 0; }

rm -rf "$work"
mkdir -p "$work"

# The text of an element of the invoice, as UTF-8.
value() { iconv -f "$(sed -n '1s/.*encoding="\([^"]*\)".*/\1/p' "$2")" -t UTF-8 "$2" |
            sed -n "s:.*<$1>\\(.*\\)</$1>.*:\\1:p" | head -n 1; }

check_page() { # INVOICE PAGE
  local invoice=$1 page=$2 text iban
  text=$(sed 's/<[^>]*>/ /g' "$page" | tr -s ' \n' ' ')
  for element in InvoiceNumber InvoiceTotal TaxIdentificationNumber CorporateName; do
    grep -qF -- "$(value $element "$invoice")" <<<"$text" || fail "$page lacks $element $(value $element "$invoice")"
  done
  for name in $(iconv -f "$(sed -n '1s/.*encoding="\([^"]*\)".*/\1/p' "$invoice")" -t UTF-8 "$invoice" |
                sed -n '/<BuyerParty>/,/<\/BuyerParty>/s:.*<\(Name\|FirstSurname\|CorporateName\)>\(.*\)</.*:\2:p'); do
    grep -qF -- "$name" <<<"$text" || fail "$page lacks the tenant's $name"
  done
  iban=$(value IBAN "$invoice")
  if [ -n "$iban" ]; then
    grep -qF "${iban: -4}" <<<"$text" || fail "$page lacks the account's last digits"
    ! grep -qF "${iban:0:10}" "$page" || fail "$page shows the account $iban"
  fi
  ! grep -qiE '<script|<link|<img|<iframe|src=|url\(|https?://' "$page" || fail "$page runs or loads something"
  grep -qi 'charset=UTF-8' "$page" || fail "$page does not say UTF-8"
}

count=0
for invoice in $(find "$invoices" -name '*.xml' | sort) "$fixture"; do
  "$kavview" "$invoice" -o "$work/page.html" || fail "kavview $invoice: exit $?"
  check_page "$invoice" "$work/page.html"
  count=$((count + 1))
done
grep -q 'Conta de cargo' "$work/page.html" || fail "the 3.2.2 invoice (gl) has no Galician labels"
# Standard output gives the same page.
"$kavview" "$fixture" | cmp -s - "$work/page.html" || fail "stdout differs from -o"

# Labels by LanguageName, both versions' codes; Catalan when unknown.
one=$(find "$invoices" -name '*.xml' | sort | head -n 1)
while read -r code label; do
  sed "s|<LanguageName>SPA<|<LanguageName>$code<|" "$one" >"$work/lang.xml"
  "$kavview" "$work/lang.xml" --output="$work/lang.html" || fail "language $code: exit $?"
  grep -q "<td class=\"label\">$label</td>" "$work/lang.html" || fail "language $code: no '$label'"
done <<'TABLE'
CAT Forma de pagament
SPA Forma de pago
GLG Forma de pagamento
OCI Mòde de pagament
ca Forma de pagament
es Forma de pago
gl Forma de pagamento
XYZ Forma de pagament
TABLE

# Bad invoices: exit 1 and one message naming the file.
printf 'no xml' >"$work/bad-text.xml"
printf '<?xml version="1.0"?><Factura/>' >"$work/bad-root.xml"
sed 's|<SchemaVersion>3.0<|<SchemaVersion>3.2<|' "$one" >"$work/bad-version.xml"
sed 's|<SchemaVersion>3.2.2<|<SchemaVersion>3.0<|' "$fixture" >"$work/bad-mixed.xml"
while read -r file expected; do
  set +e; "$kavview" "$work/$file" -o "$work/bad.html" 2>"$work/err"; code=$?; set -e
  [ $code -eq 1 ] || fail "$file: exit $code, not 1"
  grep -qF "kavview: $work/$file: $expected" "$work/err" || fail "$file: $(cat "$work/err")"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$file: more than one line: $(cat "$work/err")"
done <<'TABLE'
bad-text.xml not XML
bad-root.xml not a Facturae invoice
bad-version.xml unknown Facturae version "3.2"
bad-mixed.xml unknown Facturae version "3.0"
missing.xml cannot read it (No such file or directory)
TABLE
set +e; "$kavview" --stylesheet "$work/none.xsl" "$one" 2>"$work/err"; code=$?; set -e
[ $code -eq 1 ] && grep -qF "$work/none.xsl" "$work/err" || fail "missing stylesheet: exit $code"

# Bad command lines: exit 2 with the usage.
for line in "" "--colour" "-o" "$one $one" "--tree $invoices" "--tree $invoices $work/t -o x" \
            "--output"; do
  set +e; "$kavview" $line >/dev/null 2>"$work/err"; code=$?; set -e
  [ $code -eq 2 ] || fail "kavview $line: exit $code, not 2"
  grep -q '^usage: kavview' "$work/err" || fail "kavview $line: no usage"
done
"$kavview" --help | grep -q -- '--tree DIR OUTDIR' || fail "--help"

# A tree, with one bad invoice among the good ones: the others are written
# and listed, and the exit code tells of the bad one.
cp -r "$invoices" "$work/tree"
cp "$fixture" "$work/tree/VER/0012/0001/F322.xml"
cp "$work/bad-root.xml" "$work/tree/VER/0013/BAD.xml"
set +e; "$kavview" --tree "$work/tree" "$work/pages" 2>"$work/err"; code=$?; set -e
[ $code -eq 1 ] || fail "tree with a bad invoice: exit $code"
grep -qF "$work/tree/VER/0013/BAD.xml: not a Facturae invoice" "$work/err" || fail "tree: $(cat "$work/err")"
pages=$(cd "$work/pages" && find . -name '*.html' ! -name index.html | sort)
[ "$(echo "$pages" | wc -l)" -eq "$count" ] || fail "tree: $(echo "$pages" | wc -l) pages, not $count"
for page in $pages; do
  check_page "$work/tree/${page%.html}.xml" "$work/pages/$page"
  grep -qF "href=\"${page#./}\"" "$work/pages/index.html" || fail "index lacks $page"
done
grep -qF '<tr><td>0015</td><td>0002</td><td>LUIS HERNÁNDEZ RUIZ</td><td><a href="VER/0015/0002/VNA35MS5.html">00000005</a></td><td class="num">657.14</td></tr>' \
  "$work/pages/index.html" || fail "index row of 0015/0002"
echo "kavview: $count pages checked, tree of $count with its index"

#!/usr/bin/env bash
# The invoice pages in a real browser: kavview renders the demo invoices
# (Facturae 3.0) and the 3.2.2 invoice, and headless Chromium opens them. The
# page's text as Chromium has it holds the invoice number, the tenant and the
# total as the XML has them; a screenshot is not blank; printing to PDF gives
# one A4 page. Says SKIPPED when Chromium or kavview is missing (scripts/setup.sh
# installs Chromium as root when it can).
#   [BROWSER=chromium] browser_test.sh TORVANE1 KAVDATA SOURCE_DIR WORK_DIR
set -euo pipefail
kavdata=$2 source=$3 work=$4
kavview=$(dirname "$kavdata")/kavview
browser=${BROWSER:-chromium}
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v "$browser" >/dev/null ||
  { echo "browser: SKIPPED, no $browser (Debian package chromium; scripts/setup.sh installs it as root)"; exit 0; }
[ -x "$kavview" ] || { echo "browser: SKIPPED, kavview not built (libxslt missing when configured)"; exit 0; }
command -v python3 >/dev/null || { echo "browser: SKIPPED, no python3 to read the screenshot"; exit 0; }

rm -rf "$work"
mkdir -p "$work/profile"
# Flags for a machine without a display or network: no sandbox (run as root
# in containers), no GPU, nothing fetched in the background.
run_browser() {
  timeout 60 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" "$@" 2>>"$work/browser.log"
}
value() { iconv -f "$(sed -n '1s/.*encoding="\([^"]*\)".*/\1/p' "$2")" -t UTF-8 "$2" |
            sed -n "/<$3>/,/<\\/$3>/s:.*<$1>\\(.*\\)</$1>.*:\\1:p" | head -n 1; }

pages=0
for invoice in $(find "$source/tests/e2e/demo_expected/DOCUMENT" -name '*.xml' | sort) \
               "$source/tests/e2e/invoices/factura_3_2_2.xml"; do
  page=$work/page$pages.html
  "$kavview" "$invoice" -o "$page" || fail "kavview $invoice: exit $?"
  run_browser --dump-dom "file://$page" >"$work/dom.html" || fail "$browser --dump-dom $page: exit $?"
  text=$(sed 's/<[^>]*>/ /g' "$work/dom.html" | tr -s ' \n' ' ')
  tenant=$(value Name "$invoice" BuyerParty)
  [ -n "$tenant" ] || tenant=$(value CorporateName "$invoice" BuyerParty)
  for wanted in "$(value InvoiceNumber "$invoice" InvoiceHeader)" "$tenant" \
                "$(value FirstSurname "$invoice" BuyerParty)" \
                "$(value InvoiceTotal "$invoice" InvoiceTotals) €"; do
    grep -qF -- "$wanted" <<<"$text" || fail "$invoice: the page in $browser lacks '$wanted'"
  done
  pages=$((pages + 1))
done

# A typical invoice (direct debit, two concepts) and the 3.2.2 one: a
# screenshot with ink on it, and one A4 page in print.
for page in "$work/page1.html" "$work/page$((pages - 1)).html"; do
  run_browser --hide-scrollbars --window-size=900,1270 --screenshot="$work/shot.png" "file://$page" >/dev/null ||
    fail "$browser --screenshot $page: exit $?"
  ink=$(python3 "$source/tests/e2e/png_ink.py" "$work/shot.png")
  awk -v ink="$ink" 'BEGIN { exit !(ink > 1.0) }' || fail "$page: the screenshot is blank ($ink% ink)"
  run_browser --no-pdf-header-footer --print-to-pdf="$work/page.pdf" "file://$page" >/dev/null ||
    fail "$browser --print-to-pdf $page: exit $?"
  count=$(grep -a -o '/Count *[0-9]*' "$work/page.pdf" | head -n 1 | tr -dc 0-9)
  [ "$count" = 1 ] || fail "$page prints on ${count:-no} pages"
  box=$(grep -a -o '/MediaBox *\[[^]]*\]' "$work/page.pdf" | head -n 1 | tr -d '[]/A-Za-z')
  awk -v box="$box" 'BEGIN { split(box, b, " "); w = b[3] - b[1]; h = b[4] - b[2];
                             exit !(w > 590 && w < 600 && h > 837 && h < 847) }' ||
    fail "$page: not an A4 page ($box)"
  echo "browser: $(basename "$page"): $ink% ink, 1 A4 page"
done
echo "browser: $pages pages checked in $("$browser" --version 2>/dev/null | head -n 1)"

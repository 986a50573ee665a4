#!/usr/bin/env bash
# Builds the program and the data tool, makes the demo installation from
# examples/demo (tables from description.json, profiles, language file,
# session folder), runs TORVANE1 on it and shows what it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release >/dev/null

out=$PWD/build/demo
rm -rf "$out"
mkdir -p "$out"
cp -r examples/demo/root examples/demo/tmp examples/demo/bin "$out/"
build/release/kavdata build examples/demo/description.json "$out/root"

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
echo
echo "Invoices written: $count (well-formed: $((count - bad)))  under $out/root/DOCUMENT/VER/"
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

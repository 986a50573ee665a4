#!/usr/bin/env bash
# Times kavview --tree over the invoices of a generated installation: kavdata
# generates UNITS units (default 10,000, seed 1), one TORVANE1 run writes their
# invoices, then kavview renders the tree ROUNDS times (default 3) into fresh
# folders. Prints each round's wall time and pages per second, and the median.
# The work folder build/bench-viewer is removed at the end.
#   bash scripts/bench-viewer.sh [UNITS [ROUNDS]]
set -euo pipefail
cd "$(dirname "$0")/.."
units=${1:-10000} rounds=${2:-3}
bin=$PWD/build/release
scripts/build.sh release >/dev/null
[ -x "$bin/kavview" ] || { echo "bench-viewer: no kavview (libxslt1-dev missing)" >&2; exit 1; }
work=$PWD/build/bench-viewer
rm -rf "$work"
trap 'rm -rf "$work"' EXIT
"$bin/kavdata" generate --units "$units" --seed 1 "$work" >/dev/null
mkdir -p "$work/bin"
(cd "$work" && env -u TERM KAVROOT="$work/root/" KAVEXE="$work/bin/" KAVTMP="$work/tmp" \
  "$bin/TORVANE1" </dev/null >/dev/null 2>&1) || true
invoices=$(find "$work/root/DOCUMENT" -type f -name '*.xml' | wc -l)
echo "kavview --tree: $units units, $invoices invoices, $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg)"
walls=()
for round in $(seq 1 "$rounds"); do
  sync
  start=$(date +%s.%N)
  "$bin/kavview" --tree "$work/root/DOCUMENT" "$work/pages$round"
  end=$(date +%s.%N)
  pages=$(find "$work/pages$round" -name '*.html' ! -name index.html | wc -l)
  [ "$pages" = "$invoices" ] || { echo "bench-viewer: $pages pages for $invoices invoices" >&2; exit 1; }
  walls+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')")
  awk -v r="$round" -v s="${walls[-1]}" -v n="$pages" \
    'BEGIN { printf "   round %d: %.2f s, %.0f pages/s\n", r, s, n / s }'
  rm -rf "$work/pages$round"
done
median=$(printf '%s\n' "${walls[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
awk -v s="$median" -v n="$invoices" 'BEGIN { printf "median: %.2f s, %.0f pages/s\n", s, n / s }'

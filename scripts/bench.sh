#!/usr/bin/env bash
# The benchmark: synthetic installations of 10,000 and 100,000 units; for
# each, TORVANE1's wall time, invoices per second and peak memory, and side
# by side the floor (the same files written from memory), then the ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release >/dev/null
bin=$PWD/build/release
work=$PWD/build/bench
mkdir -p "$work"
sizes=${BENCH_UNITS:-"10000 100000"}

value() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p"; }

printf '%-8s %9s %9s %12s %10s %10s %8s %12s\n' units invoices seconds invoices/s floor_s ratio peak_MB limit_MB
for units in $sizes; do
  dir=$work/$units
  rm -rf "$dir"
  "$bin/kavdata" generate --units "$units" --seed 1 "$dir" >/dev/null
  tables_kb=$(du -sk "$dir/root/DADES" | cut -f1)
  run() {
    rm -rf "$dir/root/DOCUMENT" "$dir/root/CSB"
    ( cd "$dir" && env -u TERM KAVROOT="$dir/root/" KAVEXE="$dir/bin/" KAVTMP="$dir/tmp" \
        "$bin/bench_measure" "$bin/TORVANE1" </dev/null )
  }
  run >/dev/null  # warm the caches once
  measured=$(run)
  seconds=$(echo "$measured" | value wall_seconds)
  rss_kb=$(echo "$measured" | value peak_rss_kb)
  invoices=$(find "$dir/root/DOCUMENT" -name '*.xml' | wc -l)
  floor=$("$bin/bench_write_floor" "$dir/root/DOCUMENT" | value floor_seconds)
  awk -v u="$units" -v n="$invoices" -v s="$seconds" -v f="$floor" -v r="$rss_kb" -v t="$tables_kb" \
    'BEGIN { printf "%-8d %9d %9.2f %12.0f %10.2f %10.2f %8.1f %12.1f\n",
             u, n, s, n / s, f, s / f, r / 1024, t / 1024 + 32 }'
  echo "$units $invoices $seconds" >> "$work/per-invoice.txt"
done
awk '{ per[NR] = $3 / $2 * 1e6; u[NR] = $1 }
     END { if (NR >= 2) printf "time per invoice: %.1f us at %d units, %.1f us at %d units (%+.1f%%)\n",
           per[1], u[1], per[NR], u[NR], (per[NR] / per[1] - 1) * 100 }' "$work/per-invoice.txt"
rm -f "$work/per-invoice.txt"

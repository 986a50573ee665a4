#!/usr/bin/env bash
# The benchmark: synthetic installations of 10,000 and 100,000 units (or the
# sizes in BENCH_UNITS, e.g. BENCH_UNITS="10000"); for each, TORVANE1 side by
# side with the floor, the least work that writes the same invoice files, in
# one table that is also kept in build/bench-results.txt.
#
# The floor (bench/write_floor.cc) holds in memory the invoice tree that
# TORVANE1 wrote and recreates it in a fresh folder: each folder once, in tree
# order, parents before children, then one open(O_CREAT|O_EXCL|O_WRONLY), one
# write and one close per file. Its time is that part alone; TORVANE1's is the
# whole process, from start to exit (bench/measure.cc).
#
# Fresh folders on both sides. ext4 makes files slowly for minutes after a big
# tree is deleted, so nothing is deleted while anything is measured, and every
# run writes into folders that did not exist before:
#  - TORVANE1 always writes root/DOCUMENT anew: before each run the previous
#    run's DOCUMENT (and CSB, if any) is moved aside by one rename into
#    SIZE/trees/tN/, which costs the file system nothing; each run also has its
#    own copy of the session folder (SIZE/sessions/sN) for its list and report.
#  - the floor makes SIZE/trees/fN/ (untimed) and writes DOCUMENT inside it.
# The trees stay until the script ends and are deleted then (BENCH_KEEP=1 keeps
# them); a work folder left by an earlier run is renamed aside at the start and
# deleted at the end with this run's. The deletion slows ext4 for a while, so
# leave a few minutes between two benchmark runs.
#
# For each size: kavdata generates the installation; one unmeasured TORVANE1
# run warms the caches and gives the floor its files; then BENCH_ROUNDS rounds
# (5 up to 20,000 units, else 3) each run TORVANE1 and then the floor, every
# run after a sync so that neither pays for the other's write-back. The table
# shows the medians of the rounds, whose own figures are printed as they come
# with the CPU time of each side and the load average (the machine is shared:
# a wall time well above the CPU time, a high load or rounds far apart mean
# noise). Then, when strace is there, one more unmeasured run of each under
# strace -f -c, also into fresh folders, counts system calls (including the
# process start and, for the floor, the load of its files); without strace
# those columns say n/a.
#
# Columns: wall seconds and invoices per second of both; TORVANE1's user and
# system CPU microseconds per invoice; its peak resident memory against the
# limit, the table files (DADES, bytes as stored) plus 32 MB; system calls per
# invoice of both.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# strace only for the system call counts: installed when we can, else n/a.
scripts/setup.sh strace >/dev/null 2>&1 || echo "bench: strace not installed; system calls n/a"
scripts/build.sh release >/dev/null
bin=$PWD/build/release
work=$PWD/build/bench
results=$PWD/build/bench-results.txt
sizes=${BENCH_UNITS:-"10000 100000"}
have_strace=$(command -v strace >/dev/null && echo 1 || echo 0)

old=""
if [ -e "$work" ]; then
  old=$work.old.$$
  mv "$work" "$old"
fi
cleanup() {
  if [ "${BENCH_KEEP:-0}" = 1 ]; then
    echo "bench: trees kept in $work"
  else
    echo "bench: deleting the trees in $work (at 100,000 units this takes minutes)"
    rm -rf "$work"
  fi
  if [ -n "$old" ]; then rm -rf "$old"; fi
}
trap cleanup EXIT
mkdir -p "$work"

value() { tr ' ' '\n' | sed -n "s/^$1=//p" | head -1; }
median() { sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# The total of an strace -c summary, and its busiest calls per invoice.
strace_total() { awk '$NF == "total" { print $4 }' "$1"; }
strace_top() {
  awk -v n="$2" '$1 ~ /^[0-9.]+$/ && $NF != "total" && NF >= 5 {
                   printf "%d %s %d\n", $4, $NF, NF == 6 ? $5 : 0 }' "$1" |
    sort -rn | head -6 |
    awk -v n="$2" '{ printf "%s %.2f", $2, $1 / n; if ($3 / n >= 0.01) printf " (%.2f failed)", $3 / n; printf ", " }' |
    sed 's/, $//'
}

# Moves the last run's DOCUMENT and CSB of SIZE_DIR aside into a new folder
# SIZE_DIR/trees/tN, which becomes $last_tree.
next_tree=0
set_aside() {
  local dir=$1
  if [ -e "$dir/root/DOCUMENT" ] || [ -e "$dir/root/CSB" ]; then
    mkdir "$dir/trees/t$next_tree"
    for folder in DOCUMENT CSB; do
      if [ -e "$dir/root/$folder" ]; then mv "$dir/root/$folder" "$dir/trees/t$next_tree/"; fi
    done
    last_tree=$dir/trees/t$next_tree
    next_tree=$((next_tree + 1))
  fi
}
# Runs TORVANE1 on the installation of SIZE_DIR, which must have no DOCUMENT
# (set_aside), with a fresh session folder sessions/RUN_NAME.
# Arguments: SIZE_DIR RUN_NAME COMMAND... (the command goes before TORVANE1).
run_torvane() {
  local dir=$1 name=$2
  shift 2
  if [ -e "$dir/root/DOCUMENT" ]; then
    echo "bench: $dir/root/DOCUMENT was not set aside" >&2
    exit 1
  fi
  cp -r "$dir/tmp" "$dir/sessions/$name"
  (cd "$dir" && env -u TERM KAVROOT="$dir/root/" KAVEXE="$dir/bin/" KAVTMP="$dir/sessions/$name" \
    "$@" "$bin/TORVANE1" </dev/null)
}

{
  echo "TORVANE1 benchmark, $(date '+%Y-%m-%d %H:%M:%S %Z'), $(nproc) cores"
  echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$results"
table=()
per_invoice=()
for units in $sizes; do
  dir=$work/$units
  echo "== $units units: generating the installation" | tee -a "$results"
  "$bin/kavdata" generate --units "$units" --seed 1 "$dir" >/dev/null
  mkdir -p "$dir/trees" "$dir/sessions"
  tables_bytes=$(du -sb --apparent-size "$dir/root/DADES" | cut -f1)

  run_torvane "$dir" warm "$bin/bench_measure" >/dev/null # warms the caches
  set_aside "$dir"
  invoices=$(find "$last_tree/DOCUMENT" -type f -name '*.xml' | wc -l)
  "$bin/bench_write_floor" pack "$last_tree/DOCUMENT" "$dir/floor.pack"

  rounds=${BENCH_ROUNDS:-$([ "$units" -le 20000 ] && echo 5 || echo 3)}
  walls=() users=() syss=() rsss=() floors=() floor_users=() floor_syss=()
  for round in $(seq 1 "$rounds"); do
    sync
    measured=$(run_torvane "$dir" "r$round" "$bin/bench_measure")
    if [ "$(echo "$measured" | value exit)" != 0 ]; then
      echo "bench: TORVANE1 failed: $measured" >&2
      exit 1
    fi
    set_aside "$dir"
    made=$(find "$last_tree/DOCUMENT" -type f -name '*.xml' | wc -l)
    if [ "$made" != "$invoices" ]; then
      echo "bench: TORVANE1 wrote $made invoices in round $round, $invoices before" >&2
      exit 1
    fi
    sync
    floor=$("$bin/bench_write_floor" write "$dir/floor.pack" "$dir/trees/f$round")
    if [ "$(echo "$floor" | value files)" != "$invoices" ]; then
      echo "bench: the floor wrote other files than TORVANE1: $floor" >&2
      exit 1
    fi
    walls+=("$(echo "$measured" | value wall_seconds)")
    users+=("$(echo "$measured" | value user_us)")
    syss+=("$(echo "$measured" | value sys_us)")
    rsss+=("$(echo "$measured" | value peak_rss_kb)")
    floors+=("$(echo "$floor" | value floor_seconds)")
    floor_users+=("$(echo "$floor" | value user_us)")
    floor_syss+=("$(echo "$floor" | value sys_us)")
    awk -v r="$round" -v s="${walls[-1]}" -v f="${floors[-1]}" -v l="$(cut -d' ' -f1 /proc/loadavg)" \
      -v tc="$((${users[-1]} + ${syss[-1]}))" -v fc="$((${floor_users[-1]} + ${floor_syss[-1]}))" \
      'BEGIN { printf "   round %d: TORVANE1 %.2f s (CPU %.2f s), floor %.2f s (CPU %.2f s), ratio %.2f, load %s\n",
               r, s, tc / 1e6, f, fc / 1e6, s / f, l }' |
      tee -a "$results"
  done

  calls_t=n/a calls_f=n/a
  if [ "$have_strace" = 1 ]; then
    echo "   counting system calls (strace, unmeasured)"
    run_torvane "$dir" strace strace -f -c -o "$dir/strace-torvane.txt" >/dev/null
    strace -f -c -o "$dir/strace-floor.txt" \
      "$bin/bench_write_floor" write "$dir/floor.pack" "$dir/trees/fstrace" >/dev/null
    set_aside "$dir"
    calls_t=$(awk -v c="$(strace_total "$dir/strace-torvane.txt")" -v n="$invoices" 'BEGIN { printf "%.2f", c / n }')
    calls_f=$(awk -v c="$(strace_total "$dir/strace-floor.txt")" -v n="$invoices" 'BEGIN { printf "%.2f", c / n }')
    {
      echo "   TORVANE1 calls per invoice: $(strace_top "$dir/strace-torvane.txt" "$invoices")"
      echo "   floor calls per invoice:    $(strace_top "$dir/strace-floor.txt" "$invoices")"
    } | tee -a "$results"
  fi

  seconds=$(printf '%s\n' "${walls[@]}" | median)
  floor_s=$(printf '%s\n' "${floors[@]}" | median)
  user=$(printf '%s\n' "${users[@]}" | median)
  sys=$(printf '%s\n' "${syss[@]}" | median)
  rss=$(printf '%s\n' "${rsss[@]}" | sort -n | tail -1)
  awk -v n="$invoices" -v u="$(printf '%s\n' "${floor_users[@]}" | median)" \
    -v sy="$(printf '%s\n' "${floor_syss[@]}" | median)" \
    'BEGIN { printf "   floor CPU per invoice: user %.1f us, sys %.1f us\n", u / n, sy / n }' |
    tee -a "$results"
  range=$(for i in "${!walls[@]}"; do echo "${walls[$i]} ${floors[$i]}"; done |
    awk '{ r = $1 / $2; if (NR == 1 || r < lo) lo = r; if (NR == 1 || r > hi) hi = r }
         END { printf "%.1f-%.1f", lo, hi }')
  table+=("$(awk -v u="$units" -v n="$invoices" -v s="$seconds" -v f="$floor_s" -v us="$user" \
    -v sy="$sys" -v r="$rss" -v t="$tables_bytes" -v ct="$calls_t" -v cf="$calls_f" -v rg="$range" \
    'BEGIN { printf "%-7d %8d %8.2f %7.2f %6.2f %9s %9.0f %9.0f %8.1f %8.1f %7.1f %8.1f %7s %7s",
             u, n, s, f, s / f, rg, n / s, n / f, us / n, sy / n, r / 1024, t / 1048576 + 32, ct, cf }')")
  per_invoice+=("$units $invoices $seconds $floor_s")
done

# The invoice formats on the first size (or BENCH_FORMAT_UNITS, one of the
# sizes): Facturae 3.0, 3.2.2 unsigned and 3.2.2 signed with a 2048-bit key
# (a throw-away certificate made here), BENCH_FORMAT_ROUNDS runs each (3),
# medians of the whole process per invoice.
format_units=${BENCH_FORMAT_UNITS:-${sizes%% *}}
dir=$work/$format_units
formats=()
if [ -d "$dir/root" ]; then
  echo "== $format_units units: invoice formats" | tee -a "$results"
  export KAVCERTPASS=bench-$$
  bash tests/e2e/make_signing_certificate.sh "$dir/cert" "$KAVCERTPASS" >/dev/null
  cp "$dir/cert/signer.p12" "$dir/root/Bench.p12"
  cp "$dir/root/Pexa.ini" "$dir/Pexa-3.0.ini"
  invoices=$(find "$last_tree/DOCUMENT" -type f -name '*.xml' | wc -l)
  base_cpu=""
  for format in 3.0 3.2.2 3.2.2-signed; do
    cp "$dir/Pexa-3.0.ini" "$dir/root/Pexa.ini"
    case $format in
      3.2.2) printf '\r\n[Facturae]\r\nVersio=3.2.2\r\n' >>"$dir/root/Pexa.ini" ;;
      3.2.2-signed)
        printf '\r\n[Facturae]\r\nVersio=3.2.2\r\nCertificat=Bench.p12\r\n' >>"$dir/root/Pexa.ini" ;;
    esac
    walls=() cpus=()
    for round in $(seq 1 "${BENCH_FORMAT_ROUNDS:-3}"); do
      sync
      measured=$(run_torvane "$dir" "f$format-$round" "$bin/bench_measure")
      if [ "$(echo "$measured" | value exit)" != 0 ]; then
        echo "bench: TORVANE1 failed with format $format: $measured" >&2
        exit 1
      fi
      set_aside "$dir"
      walls+=("$(echo "$measured" | value wall_seconds)")
      cpus+=("$(($(echo "$measured" | value user_us) + $(echo "$measured" | value sys_us)))")
    done
    wall=$(printf '%s\n' "${walls[@]}" | median)
    cpu=$(printf '%s\n' "${cpus[@]}" | median)
    [ -n "$base_cpu" ] || base_cpu=$cpu base_wall=$wall
    formats+=("$(awk -v f="$format" -v n="$invoices" -v w="$wall" -v c="$cpu" -v bw="$base_wall" \
      -v bc="$base_cpu" 'BEGIN { printf "%-13s %8d %9.1f %9.1f %+8.1f%% %+8.1f%%", f, n,
        w / n * 1e6, c / n, (w / bw - 1) * 100, (c / bc - 1) * 100 }')")
  done
  cp "$dir/Pexa-3.0.ini" "$dir/root/Pexa.ini"
fi

{
  echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
  echo
  echo "medians of the rounds; ratio range: lowest and highest ratio of one round"
  printf '%-17s%-34s%-20s%-18s%-17s%s\n' "" "seconds (wall)" "invoices/s" "TORVANE1 us/inv" \
    "memory MB" "system calls/inv"
  printf '%-7s %8s %8s %7s %6s %9s %9s %9s %8s %8s %7s %8s %7s %7s\n' units invoices TORVANE1 floor ratio \
    range TORVANE1 floor user sys peak limit TORVANE1 floor
  printf '%s\n' "${table[@]}"
  if [ ${#formats[@]} -gt 0 ]; then
    echo
    echo "invoice formats at $format_units units (medians; per invoice, whole process; against 3.0):"
    printf '%-13s %8s %9s %9s %9s %9s\n' format invoices "wall us" "CPU us" wall CPU
    printf '%s\n' "${formats[@]}"
  fi
  if [ ${#per_invoice[@]} -ge 2 ]; then
    printf '%s\n' "${per_invoice[0]}" "${per_invoice[-1]}" | awk '
      { u[NR] = $1; t[NR] = $3 / $2 * 1e6; f[NR] = $4 / $2 * 1e6 }
      END { printf "\ntime per invoice from %d to %d units: TORVANE1 %.1f -> %.1f us (%+.1f%%), floor %.1f -> %.1f us (%+.1f%%)\n",
            u[1], u[2], t[1], t[2], (t[2] / t[1] - 1) * 100, f[1], f[2], (f[2] / f[1] - 1) * 100 }'
  fi
} | tee -a "$results"

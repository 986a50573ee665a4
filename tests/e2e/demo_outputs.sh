# shellcheck shell=bash
# The demo run's outputs beside the invoices, as both platforms must write
# them: the archiver's and the uploader's profiles and the run report are
# kept in demo_expected/ with the run's own root and temporary directory
# prefixes written <ROOT> and <TMP> and the archive's random name <ARCHIVE>;
# DADES.sha256 holds the checksums of the tables that the data tool makes of
# the demo description. Sourced by demo_test.sh and demo_win32_test.sh.

# The files that demo_check_outputs compares, in the temporary directory.
demo_outputs=(KAVTAR.INI KAVHTTP.INI TORVANE1.LOG)

# Writes FILE with the root directory prefix ROOT (with its separator) and
# the temporary directory prefix TMP masked, and the archive name too.
demo_normalise() {
  DEMO_ROOT=$1 DEMO_TMP=$2 perl -0777 -pe '
    s/\Q$ENV{DEMO_ROOT}\E/<ROOT>/g;
    s/\Q$ENV{DEMO_TMP}\E/<TMP>/g;
    s/CSB\\[0-9A-Z]{8}\.TAR/CSB\\<ARCHIVE>.TAR/g;' "$3"
}

# Compares the profiles and the run report in the temporary directory TMP_DIR
# with those in EXPECTED, the run's prefixes being ROOT and TMP; on a
# difference prints it and fails.
demo_check_outputs() {
  local expected=$1 tmp_dir=$2 root=$3 tmp=$4 file
  for file in "${demo_outputs[@]}"; do
    if [ ! -f "$tmp_dir/$file" ]; then
      echo "$file missing" >&2
      return 1
    fi
    if ! cmp -s "$expected/$file" <(demo_normalise "$root" "$tmp" "$tmp_dir/$file"); then
      echo "$file differs from the expected one:" >&2
      diff "$expected/$file" <(demo_normalise "$root" "$tmp" "$tmp_dir/$file") | cat -v | head -n 10 >&2
      return 1
    fi
  done
}

# Checks the tables in the folder DADES against EXPECTED/DADES.sha256: every
# table is there with the expected bytes, and there is none besides.
demo_check_tables() {
  local expected=$1 tables=$2
  ( cd "$tables" && sha256sum --quiet -c "$expected/DADES.sha256" ) >&2 || return 1
  if [ "$(cd "$tables" && ls | sort)" != "$(awk '{ print $2 }' "$expected/DADES.sha256" | sort)" ]; then
    echo "other tables than the expected ones: $(cd "$tables" && ls | tr '\n' ' ')" >&2
    return 1
  fi
}

#!/usr/bin/env bash
# Fails on an #include that goes against the layering written in the
# README's layout table: a folder may include its own headers and those of
# the folders named in its "may include" column, nothing else.
#   bash scripts/check-layering.sh
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A allowed
while IFS='|' read -r _ folder _ may_include _; do
  folder=$(echo "$folder" | tr -d ' `/')
  allowed[$folder]=$(echo "$may_include" | tr -d '`/' | tr -s ' ')
done < <(sed -n '/^## Layout/,/^## /p' README.md | grep '^| `[a-z]*/` |')
[ ${#allowed[@]} -gt 0 ] || { echo "check-layering: no layout table in README.md" >&2; exit 1; }

bad=0
for folder in "${!allowed[@]}"; do
  [ -d "$folder" ] || continue
  while IFS=: read -r file line include; do
    target=$(echo "$include" | sed -n 's/^#include "\([a-z_]*\)\/.*/\1/p')
    [ -n "$target" ] && [ "$target" != "$folder" ] || continue
    case " ${allowed[$folder]} " in
      *" $target "*) ;;
      *) echo "$file:$line: $folder/ may not include $target/: $include"; bad=1 ;;
    esac
  done < <(grep -rn --include='*.h' --include='*.cc' '^#include "' "$folder" | sed 's/:\([0-9]*\):/:\1:/')
done
if grep -rln '_WIN32' --include='*.h' --include='*.cc' . | grep -v -e '^./platform/' -e '^./build'; then
  echo "check-layering: _WIN32 outside platform/ (files above)"; bad=1
fi
[ $bad -eq 0 ] && echo "layering: every include goes downward"
exit $bad

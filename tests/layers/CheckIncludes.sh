#!/usr/bin/env bash
# Fails when a file of a library folder includes a header of a folder above
# it. The folders stack as
#
#   platform < services < host < engine < driver < app
#   platform < data < app
#
# and a file may include headers of its own folder and of the folders below
# it only (system and Qt headers, which name no folder of the tree, aside).
#
#   CheckIncludes.sh SOURCE_DIR
set -euo pipefail
root=${1:?usage: CheckIncludes.sh SOURCE_DIR}
cd "$root"

# Each library folder and the folders its files may include.
declare -A may=(
  [platform]="platform"
  [services]="services platform"
  [host]="host services platform"
  [engine]="engine host services platform"
  [driver]="driver engine host services platform"
  [data]="data platform"
  [app]="app driver engine host services data platform"
)

# Every folder at the top of the tree is a name an include could reach.
tops=$(find . -mindepth 1 -maxdepth 1 -type d ! -name '.*' -printf '%f ')

status=0
for folder in "${!may[@]}"; do
  [ -d "$folder" ] || continue
  # file:line:#include "top/...": one awk over the folder's includes.
  { grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' "$folder" || true; } |
    awk -v folder="$folder" -v may="${may[$folder]}" -v tops="$tops" '
      BEGIN { split(may, m, " "); for (i in m) ok[m[i]] = 1; split(tops, t, " "); for (i in t) top[t[i]] = 1 }
      {
        split($0, f, ":"); match($0, /"[^"]+"/); target = substr($0, RSTART + 1, RLENGTH - 2)
        first = target; sub(/\/.*/, "", first)
        if ((first in top) && !(first in ok)) {
          printf "%s:%s: %s/ includes %s (it may include only %s)\n", f[1], f[2], folder, target, may
          bad = 1
        }
      }
      END { exit bad }' || status=1
done
if [ $status -ne 0 ]; then
  echo "A folder includes a header of a folder above it."
  exit 1
fi
echo "No folder includes a header of a folder above it."

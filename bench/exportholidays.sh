#!/usr/bin/env bash
# Times the holiday listing of tamurika-export over 81 years (1970–2050), which should stay well
# under a second. Usage: bench/exportholidays.sh [build-dir] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build}/bin/tamurika-export
runs=${2:-5}
best=
for ((i = 0; i < runs; ++i)); do
  start=$(date +%s%N)
  "$program" --holidays 1970 2050 >/dev/null 2>&1
  elapsed=$((($(date +%s%N) - start) / 1000000))
  if [[ -z $best || $elapsed -lt $best ]]; then best=$elapsed; fi
done
echo "tamurika-export --holidays 1970 2050: best of $runs runs ${best} ms"

#!/usr/bin/env bash
# Times dibconv's pixel-format conversions on a large photo-like picture (ImageMagick's plasma
# fractal), to watch the cost of the palette reductions and halftones. Usage:
#   bench/dibconvert.sh [WIDTHxHEIGHT]     (default 4000x3000, a 12-megapixel photo)
# Needs a build in build/ (tools/setup build).
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-4000x3000}
out=bench/out/dibconvert
mkdir -p "$out"
convert -seed 5 -size "$size" plasma:fractal -type TrueColor BMP3:"$out/photo.bmp"
for format in 24 8 4 1 halftone halftone-bw 8rle; do
  start=$EPOCHREALTIME
  if build/bin/dibconv "$out/photo.bmp" "$out/photo-$format.bmp" "$format" 2>"$out/error.txt"; then
    result="$(stat -c %s "$out/photo-$format.bmp") bytes"
  else
    result="refused: $(cat "$out/error.txt")"
  fi
  end=$EPOCHREALTIME
  printf '%-12s %6.2f s  %s\n' "$format" "$(awk "BEGIN { print $end - $start }")" "$result"
done

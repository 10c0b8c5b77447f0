#!/usr/bin/env bash
# Starts the real program on an X server under Xvfb, finds its window "たむりか", takes a
# screenshot and checks that it shows the sample: this year's title (read back with OCR),
# Sunday numbers in red and Saturday numbers in blue. Then starts it under the C locale and
# under one the machine lacks, and reads the title every X client reads (WM_NAME).
# Usage: guismoketest.sh PROGRAM SCREENSHOT.png
set -euo pipefail
program=$1
shot=$2

if [[ -z "${SMOKE_INNER:-}" ]]; then
  # An X server of its own (tests/common/withxserver.sh), never one another test is starting.
  exec env SMOKE_INNER=1 "$(dirname "$0")/../common/withxserver.sh" 1024x768 "$0" "$@"
fi

source "$(dirname "$0")/../common/startprogram.sh"
start_program "$program"
window=$(wait_for '^たむりか$')
sleep 1 # let the first paint finish

import -window "$window" "$shot"
read -r width height < <(identify -format '%w %h\n' "$shot")
echo "window $window: ${width}x${height}, screenshot $shot"
[[ "$width" -eq 475 ]] || { echo "expected the narrow window, 475 pixels wide"; exit 1; }

# Everything below the menu bar is the 475 × 387 client area; the sample frame sits at 6, 6
# and the year title's inside at 8, 183 within it.
menu=$((height - 387))
convert "$shot" -crop "223x15+14+$((menu + 6 + 181 + 2))" +repage -colorspace Gray -scale 400% \
  -bordercolor white -border 40 "$work/year.png"
year=$(tesseract "$work/year.png" - --psm 7 -c tessedit_char_whitelist=0123456789 2>/dev/null | tr -d '[:space:]')
expected=$(TZ=Asia/Tokyo date +%Y)
echo "year title reads '$year', expected '$expected'"
[[ "$year" == *"$expected"* ]] || exit 1

# The month grid: red Sunday and holiday numbers, blue Saturday numbers.
grid=$(convert "$shot" -crop "225x100+14+$((menu + 6 + 223 + 2 + 17))" +repage -format %c histogram:info:-)
grep -qi '#FF0000' <<<"$grid" || { echo "no red Sunday numbers in the sample"; exit 1; }
grep -qi '#0000FF' <<<"$grid" || { echo "no blue Saturday numbers in the sample"; exit 1; }

# Window lists, pagers and xdotool read WM_NAME, which the X library converts through the
# program's character type; read here in a UTF-8 locale, it must say たむりか.
for locale in C xx_YY.ISO-8859-1; do
  kill "$app" && wait "$app" 2>/dev/null || true
  LANG=$locale LC_ALL=$locale LANGUAGE= start_program "$program"
  window=$(LC_ALL=C.UTF-8 wait_for '^たむりか$')
  name=$(LC_ALL=C.UTF-8 xprop -id "$window" WM_NAME)
  echo "LANG=$locale: $name"
  [[ "$name" == *' = "たむりか"' ]] || { echo "WM_NAME is not たむりか under LANG=$locale"; exit 1; }
done
echo "1 passed, 0 failed"

#!/usr/bin/env bash
# Starts the real program on an X server under Xvfb, presses "ﾌﾟﾚﾋﾞｭ-＆印刷", and looks at the
# preview window from outside: its size, the page at 100 % (the zoom kept from an earlier run)
# with red Sunday letters and blue Saturday letters, the page at 25 % after three presses of
# "縮小(&O)", the whole page fitted to the window after Ctrl+0 typed on the keyboard, that the
# fitted zoom is kept, and that "閉じる(&C)" closes it and gives the main window back.
# Usage: guipreviewtest.sh PROGRAM WORKDIR
set -euo pipefail
program=$1
out=$2

if [[ -z "${PREVIEW_INNER:-}" ]]; then
  # An X server of its own (tests/common/withxserver.sh), never one another test is starting.
  exec env PREVIEW_INNER=1 "$(dirname "$0")/../common/withxserver.sh" 1280x1024 "$0" "$@"
fi

mkdir -p "$out"
source "$(dirname "$0")/../common/startprogram.sh"
# The zoom an earlier run chose: 100 % (a first run opens fitted on a screen 1024 high).
printf '\xef\xbb\xbf[preview]\r\nzoom=100\r\n' >"$work/tamurika-state.ini"
start_program "$program"

colours() { convert "$1" -format %c histogram:info:-; }
white() { convert "$1" -fill black +opaque white -format '%[fx:mean*w*h]' info:; }
# Pixels far redder than green and blue: the Sunday numbers, averaged down or not.
reddish() {
  colours "$1" | awk -F'[(,)]' '{ n = $1 + 0; r = $2 + 0; g = $3 + 0; b = $4 + 0 }
    r > g + 80 && r > b + 80 { sum += n } END { print sum + 0 }'
}

open_preview
read -r pw ph < <(size_of "$preview")
echo "preview window $pw x $ph"
[[ "$pw" -eq 894 ]] || { echo "expected the page width 794 + 100 = 894"; exit 1; }
[[ "$ph" -eq 824 ]] || { echo "expected the screen height 1024 - 200 = 824"; exit 1; }

import -window "$preview" "$out/preview-100.png"
grep -qi '#FF0000' <(colours "$out/preview-100.png") || { echo "no red Sunday letters at 100 %"; exit 1; }
grep -qi '#0000FF' <(colours "$out/preview-100.png") || { echo "no blue Saturday letters at 100 %"; exit 1; }
full=$(white "$out/preview-100.png")
echo "white pixels at 100 %: $full"

for _ in 1 2 3; do
  xdotool mousemove --window "$preview" 254 17 click 1 # 縮小(&O)
  sleep 0.7
done
import -window "$preview" "$out/preview-25.png"
quarter=$(white "$out/preview-25.png")
echo "white pixels at 25 %: $quarter"
# 198 × 281 pixels of page, less its ink.
awk -v q="$quarter" 'BEGIN { exit !(q > 35000 && q < 55638) }' || { echo "the page is not 198 x 281 at 25 %"; exit 1; }
awk -v f="$full" 'BEGIN { exit !(f > 300000) }' || { echo "the page does not fill the window at 100 %"; exit 1; }

# Ctrl+0: the whole page in the window, about 68 % of it, the dark scroll box beside it.
xdotool mousemove --window "$preview" 600 400 key ctrl+0
sleep 0.7
import -window "$preview" "$out/preview-fit.png"
fitted=$(white "$out/preview-fit.png")
echo "white pixels fitted: $fitted"
red=$(reddish "$out/preview-fit.png")
echo "reddish pixels fitted: $red"
[[ "$red" -gt 500 ]] || { echo "no red Sunday numbers fitted"; exit 1; }
awk -v q="$fitted" -v f="$full" 'BEGIN { exit !(q > 250000 && q < f - 100000) }' ||
  { echo "the page is not fitted to the window"; exit 1; }
grep -q 'zoom=fit' "$work/tamurika-state.ini" || { echo "the fitted zoom is not kept"; exit 1; }

xdotool mousemove --window "$preview" 400 17 click 1 # 閉じる(&C)
for _ in $(seq 1 50); do
  xdotool search --onlyvisible --name 'プレビュー＆印刷' >/dev/null 2>&1 || break
  sleep 0.1
done
if xdotool search --onlyvisible --name 'プレビュー＆印刷' >/dev/null 2>&1; then
  echo "the preview window did not close"
  exit 1
fi
kill -0 "$app" || { echo "the program ended with the preview"; exit 1; }
echo "1 passed, 0 failed"

#!/usr/bin/env bash
# Starts the real program on an X server under Xvfb as a file manager's "open with" starts it,
# with a photo, and checks what a program started from the desktop has to do:
#   - the photo is loaded at start: the sample's picture box shows it;
#   - "たむりかのヘルプ" opens the help page where the program keeps it;
#   - "フォントの設定を保存" writes the settings where the folder rule puts them;
#   - a file that cannot be read shows a message box, and the window stays.
# Usage: guistarttest.sh PROGRAM PHOTO
#          a program of the build folder, copied with its help page into a folder of its own,
#          which takes its settings too
#        guistarttest.sh --installed DESKTOP-ENTRY PHOTO
#          the installed program, started by the entry's Exec line with the rights of the user
#          who runs the test and a fresh home folder: the help page in
#          <prefix>/share/tamurika, the settings in ~/.config/tamurika, nothing beside the program
set -euo pipefail
# xdotool matches the Japanese window titles only in a UTF-8 locale.
export LC_ALL=C.UTF-8

if [[ -z "${SMOKE_INNER:-}" ]]; then
  # An X server of its own (tests/common/withxserver.sh), never one another test is starting.
  exec env SMOKE_INNER=1 "$(dirname "$0")/../common/withxserver.sh" 1024x768 "$0" "$@"
fi

source "$(dirname "$0")/../common/startprogram.sh"

entry=
built=
if [[ "$1" == --installed ]]; then
  entry=$2
  shift
else
  built=$1
fi
# The photo under a name with a space and Japanese letters, as file managers pass them.
mkdir -p "$work/写真 2027"
photo="$work/写真 2027/富士山.jpg"
cp "$2" "$photo"
broken="$work/壊れた写真.jpg"
printf '\xFF\xD8\xFF\xE0 not a JPEG stream' >"$broken"

# The desktop's opener of documents, which Qt looks for first on the PATH: this one notes what
# it was asked to open.
mkdir -p "$work/opener"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s/opened"\n' "$work" >"$work/opener/xdg-open"
chmod +x "$work/opener/xdg-open"
export PATH="$work/opener:$PATH"

# command_for FILE: the command line that opens FILE, in the array "command".
if [[ -n "$entry" ]]; then
  exec_line=$(sed -n 's/^Exec=//p' "$entry" | head -n1)
  echo "desktop entry $entry: Exec=$exec_line"
  program=$(command -v "${exec_line%% *}") || { echo "${exec_line%% *} is not on the PATH"; exit 1; }
  help=$(realpath -m "$(dirname "$entry")/../tamurika/tamurika.html")
  export HOME="$work/home"
  mkdir -p "$HOME"
  unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_STATE_HOME
  settings="$HOME/.config/tamurika/tamurika.ini"
  command_for() {
    local word
    command=()
    for word in $exec_line; do
      case "$word" in
        %f | %F | %u | %U) command+=("$1") ;;
        %*) echo "unexpected field code $word in Exec"; exit 1 ;;
        *) command+=("$word") ;;
      esac
    done
  }
else
  mkdir -p "$work/program"
  program="$work/program/tamurika"
  cp "$built" "$program"
  cp "$(dirname "$built")/tamurika.html" "$work/program/"
  help="$work/program/tamurika.html"
  export XDG_CONFIG_HOME="$work/config"
  settings="$work/program/tamurika.ini"
  command_for() { command=("$program" "$1"); }
fi
[[ -f "$help" ]] || { echo "no help page at $help"; exit 1; }
echo "program $program, help page $help, settings $settings"

# windows_named TITLE: the ids of the visible windows whose title matches TITLE.
windows_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }
# message_box: the id of the visible window titled たむりか that is not the 475-pixel-wide main
# window, if there is one.
message_box() {
  local id
  for id in $(windows_named '^たむりか$'); do
    if ! xdotool getwindowgeometry "$id" | grep -q 'Geometry: 475x'; then
      echo "$id"
      return 0
    fi
  done
  return 1
}

# wait_until COMMAND...: true once COMMAND succeeds (5 s at most).
wait_until() {
  for _ in $(seq 1 50); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# keys WINDOW KEY...: types the keys into the window, as a user at the keyboard would.
keys() {
  local window=$1
  shift
  timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null || true
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.3
  done
}

failed=0
check() {
  if "${@:2}"; then
    echo "ok: $1"
  else
    echo "FAILED: $1"
    failed=1
  fi
}

# --- Started with a photo --------------------------------------------------------------------
command_for "$photo"
run_program "${command[@]}"
window=$(wait_for '^たむりか$')
sleep 1 # let the first paint and the loading finish
import -window "$window" "$work/window.png"
read -r width height < <(identify -format '%w %h\n' "$work/window.png")
# The picture box: 224 × 168 inside the sample's frame at 13, 13 of the client area, which
# starts below the menu bar; empty it is white, with the photo mostly sky and mountain.
menu=$((height - 387))
brightness=$(convert "$work/window.png" -crop "224x168+13+$((menu + 13))" +repage \
  -colorspace Gray -format '%[fx:mean]' info:)
echo "window ${width}x${height}, picture box brightness $brightness"
check "the photo is loaded at start" awk -v b="$brightness" 'BEGIN { exit !(b < 0.9) }'

# --- Help ------------------------------------------------------------------------------------
keys "$window" alt+h Return
wait_until test -s "$work/opened" || true
opened=$(cat "$work/opened" 2>/dev/null || true)
echo "the help command opened '$opened'"
check "the help page is opened from $help" test "$opened" == "file://$help"

# --- Settings --------------------------------------------------------------------------------
keys "$window" alt+f Down Return
dialog=$(wait_for '^設定の保存$')
keys "$dialog" Return
check "the settings are saved in $settings" wait_until test -s "$settings"
if [[ -n "$entry" ]]; then
  check "nothing is written beside the program" \
    test ! -e "$(dirname "$program")/tamurika.ini" -a ! -e "$(dirname "$program")/senoruta.ini"
fi
kill "$app"
wait "$app" 2>/dev/null || true

# --- Started with a file that cannot be read -------------------------------------------------
command_for "$broken"
run_program "${command[@]}"
wait_for '^たむりか$' >/dev/null
check "a message box appears beside the window" wait_until eval 'message_box >/dev/null'
box=$(message_box || true)
if [[ -n "$box" ]]; then
  import -window "$box" "$work/message.png"
  keys "$box" Return
fi
sleep 0.5
check "the window stays once the message is read" \
  test "$(windows_named '^たむりか$' | wc -l)" -eq 1 -a -d "/proc/$app"

if ((failed)); then
  echo "program output:"
  cat "$work/log"
  exit 1
fi
echo "all passed"

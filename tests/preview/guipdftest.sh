#!/usr/bin/env bash
# Starts the real program on an X server under Xvfb, opens the preview and presses "PDFに保存":
# the save dialog opens in the folder used last with "カレンダー<year>.pdf", Enter writes that
# file (one page, the year in its text, nothing else left in the folder); in a folder that
# cannot be written the program says so in a message box of its own and writes nothing. The
# superuser may write anywhere, so under it the program runs as the user nobody.
# Usage: guipdftest.sh PROGRAM WORKDIR
set -euo pipefail
program=$1
out=$2

if [[ -z "${PDF_INNER:-}" ]]; then
  # An X server of its own (tests/common/withxserver.sh), never one another test is starting.
  exec env -u XAUTHORITY PDF_INNER=1 "$(dirname "$0")/../common/withxserver.sh" 1280x1024 "$0" "$@"
fi

mkdir -p "$out"
source "$(dirname "$0")/../common/startprogram.sh"
user=
[[ $(id -u) -eq 0 ]] && user=nobody
start_program "$program" $user

# The state file beside the program names the folder the save dialog opens in.
remember_folder() {
  printf '\xef\xbb\xbf[pdf]\r\nfolder=%s\r\n' "$1" >"$work/tamurika-state.ini"
  [[ -z $user ]] || chown "$user" "$work/tamurika-state.ini"
}
save_pdf() { # presses PDFに保存 and takes the dialog's suggestion with Enter
  xdotool mousemove --window "$preview" 600 400 sleep 0.2 mousemove --window "$preview" 855 17 \
    sleep 0.2 click 1
  local dialog
  dialog=$(wait_for '^PDFに保存')
  sleep 0.8
  import -window root "$out/dialog-$((++dialogs)).png"
  xdotool key Return # the dialog has the focus, its file name field the suggestion
}
dialogs=0

folder=$work/pdfs
readonly=$work/readonly
mkdir -p "$folder" "$readonly"
[[ -z $user ]] || chown "$user" "$folder" "$readonly"
chmod 555 "$readonly"
remember_folder "$folder"

open_preview

year=$(TZ=Asia/Tokyo date +%Y) # the main window opens at this year
file="$folder/カレンダー$year.pdf"
save_pdf
for _ in $(seq 1 100); do
  [[ -s $file ]] && break
  sleep 0.1
done
[[ -s $file ]] || { echo "no $file:"; ls -la "$folder"; cat "$work/log"; exit 1; }
sleep 0.5
cp "$file" "$out/saved.pdf"
pdfinfo "$file" | grep -Eq '^Pages: +1$' || { echo "not a one-page PDF"; exit 1; }
pdftotext "$file" - | grep -q "${year}年" || { echo "the year is not in the PDF's text"; exit 1; }
[[ $(ls -A "$folder" | wc -l) -eq 1 ]] || { echo "more than the PDF in the folder:"; ls -A "$folder"; exit 1; }
echo "saved $file"

remember_folder "$readonly"
before=$(xdotool search --onlyvisible --name '.' | sort)
save_pdf
message=
for _ in $(seq 1 50); do
  message=$(comm -13 <(echo "$before") <(xdotool search --onlyvisible --name '^たむりか$' | sort) | head -n1)
  [[ -n $message ]] && break
  sleep 0.1
done
[[ -n $message ]] || { echo "no message box for the folder that cannot be written"; exit 1; }
sleep 0.5
import -window "$message" "$out/message.png"
echo "message box $message: $(identify -format '%wx%h' "$out/message.png")"
[[ -z $(ls -A "$readonly") ]] || { echo "a file was left in the read-only folder:"; ls -A "$readonly"; exit 1; }
xdotool key Return
sleep 0.5
kill -0 "$app" || { echo "the program ended"; exit 1; }
xdotool search --onlyvisible --name 'プレビュー＆印刷' >/dev/null || { echo "the preview window closed"; exit 1; }
echo "1 passed, 0 failed"

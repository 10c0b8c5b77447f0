# Sourced by the tests that drive the real program under Xvfb.
#   start_program PROGRAM [USER]
#                           starts a copy of it in a folder of its own ($work), so that no
#                           settings file a developer saved changes what it shows; $app is its
#                           process, ended with the folder when the script ends. With
#                           TAMURIKA_IN_PLACE=1 (an installed program) it starts PROGRAM itself.
#                           With USER (the superuser only) it runs as that user, who then owns
#                           $work
#   run_program COMMAND...  starts COMMAND as it is, with the caller's environment; $app as above
#   wait_for TITLE          the id of its first visible window whose title matches TITLE, once
#                           there (15 s at most; a program that ends meanwhile fails the test)
work=$(mktemp -d)
app=
cleanup() {
  [[ -n "$app" ]] && kill "$app" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

start_program() {
  local program=$work/tamurika
  if [[ -n "${TAMURIKA_IN_PLACE:-}" ]]; then
    program=$1 # an installed program runs where it lies; its settings go to $work/config
  else
    cp "$1" "$program"
  fi
  export XDG_CONFIG_HOME="$work/config"
  if [[ -n "${2:-}" ]]; then
    export HOME="$work/home"
    mkdir -p "$HOME"
    if [[ -n "${XAUTHORITY:-}" ]]; then # the X server's cookie, readable by that user
      cp "$XAUTHORITY" "$work/xauth"
      export XAUTHORITY="$work/xauth"
    fi
    chown -R "$2" "$work"
    chmod 755 "$work"
    run_program setpriv --reuid="$2" --regid="$(id -g "$2")" --clear-groups "$program"
  else
    run_program "$program"
  fi
}

run_program() {
  unset QT_QPA_PLATFORM
  "$@" >"$work/log" 2>&1 &
  app=$!
}

wait_for() {
  local id=
  for _ in $(seq 1 150); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    kill -0 "$app" 2>/dev/null || { echo "the program ended early:" >&2; cat "$work/log" >&2; exit 1; }
    sleep 0.1
  done
  echo "no window named $1 appeared" >&2
  return 1
}

# WIDTH HEIGHT of the window with the id given.
size_of() { xdotool getwindowgeometry "$1" | awk '/Geometry/ {split($2, s, "x"); print s[1], s[2]}'; }

# Presses "ﾌﾟﾚﾋﾞｭ-＆印刷" in the main window once it shows and waits for the preview window;
# sets main and preview to the two windows' ids. The button lies 387 pixels above the window's
# bottom edge whatever the menu bar's height.
open_preview() {
  main=$(wait_for '^たむりか$')
  sleep 1
  local height
  read -r _ height < <(size_of "$main")
  xdotool mousemove --window "$main" 361 $((height - 387 + 325)) click 1
  preview=$(wait_for 'プレビュー＆印刷')
  sleep 1.5
}

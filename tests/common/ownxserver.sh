# Sourced by a test script that needs an X server: unless INNER_VARIABLE is set, starts Xvfb on
# a display the server picks itself (-displayfd; "xvfb-run -a" can pick the display of a server
# that another test is starting at the same moment), runs the script again on it with
# INNER_VARIABLE=1, stops the server and exits with the script's status.
#   own_x_server INNER_VARIABLE SCRIPT ARGUMENTS...
own_x_server() {
  local inner=$1
  shift
  [[ -n "${!inner:-}" ]] && return 0
  local server_files server status=0
  server_files=$(mktemp -d)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$server_files/display" \
    2>"$server_files/log" &
  server=$!
  for _ in $(seq 1 150); do
    [[ -s "$server_files/display" ]] || ! kill -0 "$server" 2>/dev/null && break
    sleep 0.1
  done
  if [[ ! -s "$server_files/display" ]]; then
    echo "Xvfb did not start:"
    cat "$server_files/log"
    kill "$server" 2>/dev/null || true
    rm -rf "$server_files"
    exit 1
  fi
  env -u XAUTHORITY DISPLAY=":$(cat "$server_files/display")" "$inner=1" "$@" || status=$?
  kill "$server"
  wait "$server" 2>/dev/null || true
  rm -rf "$server_files"
  exit "$status"
}

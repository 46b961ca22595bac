# Shell functions for running the program on a private X server with a small tray host.
# Sourced by scripts/run and scripts/smoke-tray. Every process started here is remembered
# by its id and ended by stop_headless.

HEADLESS_PIDS=()

# wait_until SECONDS COMMAND...: runs COMMAND every 50 ms until it succeeds or time is up.
wait_until() {
  local limit=$(( $1 * 20 )); shift
  local i
  for (( i = 0; i < limit; i++ )); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  return 1
}

# Starts Xvfb on a display it picks itself and exports DISPLAY.
start_private_x() {
  local number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${ZORV_SCREEN:-1280x800x24}" -nolisten tcp -noreset \
    3>"$number_file" >/dev/null 2>&1 &
  HEADLESS_PIDS+=($!)
  if ! wait_until 10 test -s "$number_file"; then
    rm -f "$number_file"
    echo "headless: Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(head -n1 "$number_file")"
  rm -f "$number_file"
  unset WAYLAND_DISPLAY
}

# Starts trayer as the notification area and waits until its panel exists.
start_tray_host() {
  trayer --edge top --align right --widthtype request --height 24 --transparent false \
    --SetDockType true >/dev/null 2>&1 &
  HEADLESS_PIDS+=($!)
  wait_until 10 xdotool search --class trayer || { echo "headless: trayer did not start" >&2; return 1; }
  sleep 0.2 # the panel appears just before it takes the tray selection
}

# Starts a program in the background and remembers it.
start_remembered() {
  "$@" </dev/null >/dev/null 2>&1 &
  HEADLESS_PIDS+=($!)
  LAST_PID=$!
}

# The tray icon window of the program whose window class is $1 (a small mapped window).
tray_icon_of() {
  local w
  for w in $(xdotool search --onlyvisible --classname "$1" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    if [ "$WIDTH" -le 64 ] && [ "$HEIGHT" -le 64 ]; then
      echo "$w"
      return 0
    fi
  done
  return 1
}

# The first mapped window whose title matches the regular expression $1.
mapped_window() {
  xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 | grep .
}

# A left click in the middle of window $1, through the X test extension like a real pointer.
click_window() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove "$((X + WIDTH / 2))" "$((Y + HEIGHT / 2))" click 1
}

# Ends every remembered process, newest first, and waits for each.
stop_headless() {
  local i pid
  for (( i = ${#HEADLESS_PIDS[@]} - 1; i >= 0; i-- )); do
    pid=${HEADLESS_PIDS[$i]}
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  HEADLESS_PIDS=()
}

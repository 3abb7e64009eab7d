# Sourced: start_private_display starts an X display of its own and sets
# DISPLAY; stop_private_display stops it. Servers' output goes nowhere, so
# nothing keeps the caller's pipes open.
#   start_private_display [GEOMETRY]   one screen on Xvfb (default 1280x800x24)
#   start_private_display --monitors 2 two 1280x1024 monitors side by side:
#                                      Xephyr with Xinerama inside an Xvfb
PRIVATE_DISPLAY_PIDS=()

# Starts an X server that picks its own display number, and points DISPLAY at it.
start_x_server() {  # server args...
  local displayfile number
  displayfile=$(mktemp)
  "$@" -displayfd 3 3>"$displayfile" </dev/null >/dev/null 2>&1 &
  PRIVATE_DISPLAY_PIDS+=($!)
  for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
  number=$(head -n1 "$displayfile"); rm -f "$displayfile"
  if [ -z "$number" ]; then
    echo "$1 did not start" >&2
    stop_private_display
    return 1
  fi
  export DISPLAY=":$number"
}

start_private_display() {  # [geometry | --monitors 2]
  if [ "${1:-}" = --monitors ]; then
    start_x_server Xvfb -screen 0 2560x1024x24 -nolisten tcp || return 1
    start_x_server Xephyr -screen 1280x1024 -screen 1280x1024 +xinerama -nolisten tcp
  else
    start_x_server Xvfb -screen 0 "${1:-1280x800x24}" -nolisten tcp
  fi
}

stop_private_display() {
  local pid
  for pid in "${PRIVATE_DISPLAY_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${PRIVATE_DISPLAY_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  PRIVATE_DISPLAY_PIDS=()
}

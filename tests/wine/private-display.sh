# Sourced: start_private_display starts Xvfb on a display it picks itself and
# sets DISPLAY and XVFB_PID; stop_private_display stops it. Xvfb's output goes
# nowhere, so nothing keeps the caller's pipes open.
start_private_display() {  # [screen geometry]
  local displayfile
  displayfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${1:-1280x800x24}" -nolisten tcp 3>"$displayfile" </dev/null >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
  local number
  number=$(head -n1 "$displayfile"); rm -f "$displayfile"
  if [ -z "$number" ]; then
    echo "Xvfb did not start" >&2; kill "$XVFB_PID" 2>/dev/null; return 1
  fi
  export DISPLAY=":$number"
}

stop_private_display() {
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
}

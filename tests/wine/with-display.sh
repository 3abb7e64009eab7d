#!/usr/bin/env bash
# Runs a Windows program under Wine on a private Xvfb display and stops the
# display afterwards. The caller's WINEPREFIX, LC_ALL and WINEDEBUG apply.
#   with-display.sh PROGRAM.exe [ARGS...]
set -u
displayfile=$(mktemp)
# Xvfb picks a free display itself and writes its number to fd 3; its output
# goes nowhere, so nothing keeps the caller's pipes open.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$displayfile" </dev/null >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
display=$(head -n1 "$displayfile"); rm -f "$displayfile"
if [ -z "$display" ]; then
  echo "Xvfb did not start" >&2; kill "$xvfb" 2>/dev/null; exit 1
fi
# A wineserver started here with its output redirected, so it is not ours to
# wait for; it stays a little after the last program ends and then exits.
wineserver -p5 </dev/null >/dev/null 2>&1
DISPLAY=":$display" wine "$@"
status=$?
kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null
exit "$status"

#!/usr/bin/env bash
# Runs a Windows program under Wine on a private Xvfb display and stops the
# display afterwards. The caller's WINEPREFIX, LC_ALL and WINEDEBUG apply.
#   with-display.sh PROGRAM.exe [ARGS...]
set -u
source "$(dirname "$0")/private-display.sh"
start_private_display || exit 1
# A wineserver started here with its output redirected, so it is not ours to
# wait for; it stays a little after the last program ends and then exits.
wineserver -p5 </dev/null >/dev/null 2>&1
# Without a window manager Wine draws window frames itself, so screenshots show captions.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine "$@"
status=$?
stop_private_display
exit "$status"

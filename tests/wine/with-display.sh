#!/usr/bin/env bash
# Runs a Windows program under Wine on a private Xvfb display, then ends every
# process of the prefix and the display. The caller's WINEPREFIX, LC_ALL and
# WINEDEBUG apply.
#   with-display.sh PROGRAM.exe [ARGS...]
set -u
here=$(dirname "$0")
source "$here/private-display.sh"
source "$here/wine-prefix.sh"
# Wine's desktop process stays bound to the display it first saw: a wineserver
# left from an earlier run (or from wineboot) would put the windows on a
# display that is gone.
stop_wine_prefix || exit 1
start_private_display || exit 1
# Without a window manager Wine draws window frames itself, so screenshots show captions.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine "$@"
status=$?
stop_wine_prefix || status=1
stop_private_display
exit "$status"

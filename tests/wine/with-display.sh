#!/usr/bin/env bash
# Runs a Windows program under Wine on a private X display, then ends every
# process of the prefix and the display, also when it is stopped. The prefix
# is the caller's WINEPREFIX, else the tests' one (build/wineprefix-tests).
#   with-display.sh [--monitors 2] [--dpi N] PROGRAM.exe [ARGS...]
#     --monitors 2   two 1280x1024 monitors side by side (else one 1280x800)
#     --dpi N        the system DPI Wine reports (144 is 150 %; else 96)
set -u
here=$(dirname "$0")
source "$here/private-display.sh"
source "$here/wine-prefix.sh"
export_wine_environment "${WINEPREFIX:-$(cd "$here/../.." && pwd)/build/wineprefix-tests}"
monitors=1 dpi=""
while [ $# -gt 0 ]; do
  case $1 in
    --monitors) monitors=$2; shift 2 ;;
    --dpi) dpi=$2; shift 2 ;;
    *) break ;;
  esac
done

# Every run sets what it needs and clears what an earlier run set. Without a
# window manager Wine draws window frames itself, so screenshots show
# captions; without XRandR it reports Xinerama's monitors.
settings=$(mktemp --suffix=.reg)
{
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n'
  if [ "$monitors" = 2 ]; then printf '"UseXRandR"="N"\r\n'; else printf '"UseXRandR"=-\r\n'; fi
  printf '\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n'
  if [ -n "$dpi" ]; then printf '"LogPixels"=dword:%08x\r\n' "$dpi"; else printf '"LogPixels"=-\r\n'; fi
} > "$settings"
# Wine reads them when its desktop process starts, and that process stays
# bound to the display it first saw: so they go in with no display, and the
# program starts a Wine of its own on the private display.
stop_wine_prefix || exit 1
env -u DISPLAY wine regedit /S "$(winepath -w "$settings" 2>/dev/null)" >/dev/null 2>&1
rm -f "$settings"
stop_wine_prefix || exit 1
runner=""
stop_runner() {
  [ -n "$runner" ] || return 0
  rm -rf "$KIVMACRO_UNIX_RUNNER"
  kill "$runner" 2>/dev/null
  wait "$runner" 2>/dev/null
  runner=""
}
trap 'stop_wine_prefix >/dev/null 2>&1 || true; stop_private_display; stop_runner' EXIT
trap 'exit 143' TERM INT
if [ "$monitors" = 2 ]; then start_private_display --monitors 2 || exit 1
else start_private_display || exit 1; fi
# The Unix commands the program asks for (tests/e2e: xdotool) run beside it,
# on its display.
KIVMACRO_UNIX_RUNNER=$(mktemp -d /tmp/kivmacro-unix.XXXXXX) || exit 1
export KIVMACRO_UNIX_RUNNER
bash "$here/unix-runner.sh" "$KIVMACRO_UNIX_RUNNER" &
runner=$!

wine "$@"
status=$?
trap - EXIT
stop_wine_prefix || status=1
stop_private_display
stop_runner
exit "$status"

# Sourced. The Wine side of the scripts and tests: one prefix, Japanese
# (code page 932), able to run 32-bit and 64-bit programs, and a way to end
# everything that runs in it.
#
#   export_wine_environment DIR  exports the environment for the prefix DIR
#   use_wine_prefix DIR          the same, and makes the prefix (anew when it
#                                cannot run 32-bit programs); returns with no
#                                Wine process left running in it
#   wine_prefix_pids [DIR]       the processes of that prefix (default: the current one)
#   marked_pids NAME=VALUE PATTERN...  the processes of those programs started under that variable
#   mark_run NAME, run_leftovers  what a run started and left running
#   stop_wine_prefix             ends every process of the current prefix
#   wine_runs_32bit              whether 32-bit programs can run here at all
#   has_wine_locale              whether the locales Wine runs under (Japanese, and
#                                English for 1252) are made
KIVMACRO_BUILD_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build

export_wine_environment() {  # prefix
  # KIVMACRO_WINE_LOCALE: another locale for a run (en_US.UTF-8 gives code page 1252).
  export WINEPREFIX=$1 WINEDEBUG=-all LC_ALL=${KIVMACRO_WINE_LOCALE:-ja_JP.UTF-8} WINEDLLOVERRIDES="mscoree,mshtml="
  # Debian's "wine" starts the 32-bit loader whenever wine32 is installed, and
  # a kernel without 32-bit emulation (a boot option some VMs turn off)
  # refuses to run it: then "wine" means the 64-bit loader, through a shim
  # first on PATH, and only 64-bit programs run.
  if ! wine_runs_32bit && [ -z "${KIVMACRO_WINE64_SHIM:-}" ]; then
    export KIVMACRO_WINE64_SHIM="$KIVMACRO_BUILD_DIR/wine64-only"
    mkdir -p "$KIVMACRO_WINE64_SHIM"
    # wineboot, winepath and regedit go through wine-stable.
    for name in wine wine-stable; do
      printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' > "$KIVMACRO_WINE64_SHIM/$name"
      chmod +x "$KIVMACRO_WINE64_SHIM/$name"
    done
    export PATH="$KIVMACRO_WINE64_SHIM:$PATH" WINELOADER=/usr/lib/wine/wine64
  fi
}

# scripts/install-deps makes the locale when it is missing. A shell cannot
# switch to a locale made after it started (glibc reads the locale archive
# once), and exporting LC_ALL then only warns "cannot change locale": so a
# script that saw it made starts itself again, once, before going on.
has_wine_locale() {
  local locales; locales=$(locale -a 2>/dev/null)
  grep -qix 'ja_JP.utf8' <<<"$locales" && grep -qix 'en_US.utf8' <<<"$locales"
}

# Whether this machine runs 32-bit Windows programs (asked once).
wine_runs_32bit() {
  if [ -z "${KIVMACRO_WINE32:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then KIVMACRO_WINE32=yes; else KIVMACRO_WINE32=no; fi
    export KIVMACRO_WINE32
  fi
  [ "$KIVMACRO_WINE32" = yes ]
}

# The processes of the given programs (name patterns: 'wine*', Xvfb) whose
# environment holds ENTRY ("NAME=value"). Processes inherit the environment,
# the wineserver included, so this finds what a script started by a variable
# it set; the shells and ctest between them hold it too, but are not those
# programs.
marked_pids() {  # entry pattern...
  local entry=$1 dir exe pattern; shift
  for dir in /proc/[0-9]*; do
    exe=$(readlink "$dir/exe" 2>/dev/null) || continue
    for pattern in "$@"; do
      # shellcheck disable=SC2053  # a pattern, not a string
      if [[ ${exe##*/} == $pattern ]]; then
        grep -qxzF -- "$entry" "$dir/environ" 2>/dev/null && echo "${dir#/proc/}"
        break
      fi
    done
  done
  return 0
}

# Marks what this shell starts from now on, so that run_leftovers finds what
# of it still runs: Wine's programs and X servers.
mark_run() {  # name
  export KIVMACRO_RUN="$1 $$ $(date +%s%N)"
}
run_leftovers() {
  marked_pids "KIVMACRO_RUN=$KIVMACRO_RUN" 'wine*' Xvfb Xephyr
}

wine_prefix_pids() {  # [prefix]
  marked_pids "WINEPREFIX=${1:-${WINEPREFIX:?no Wine prefix given}}" 'wine*'
}

# Asks the wineserver to end everything, again each second (a program may
# start meanwhile); what still runs after ten seconds is killed by pid.
stop_wine_prefix() {
  : "${WINEPREFIX:?no Wine prefix given}"
  local deadline=$((SECONDS + 10)) pids
  while :; do
    pids=$(wine_prefix_pids)
    [ -z "$pids" ] && return 0
    [ "$SECONDS" -ge "$deadline" ] && break
    wineserver -k >/dev/null 2>&1 || true
    sleep 1
  done
  kill -KILL $pids 2>/dev/null || true
  sleep 0.5
  pids=$(wine_prefix_pids)
  [ -z "$pids" ] && return 0
  echo "Wine processes of $WINEPREFIX did not end: $(echo $pids)" >&2
  return 1
}

use_wine_prefix() {  # prefix
  export_wine_environment "$1"
  # A prefix made before 32-bit Wine was installed has no syswow64 and can
  # start no program at all; "wineboot -u" does not mend it.
  if [ -f "$WINEPREFIX/system.reg" ] && [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    echo "The Wine prefix $WINEPREFIX cannot run 32-bit programs; making it anew." >&2
    stop_wine_prefix || return 1
    rm -rf "$WINEPREFIX"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    if ! env -u DISPLAY wineboot -i </dev/null >/dev/null 2>&1; then
      echo "Could not create the Wine prefix $WINEPREFIX." >&2
      stop_wine_prefix || true
      return 1
    fi
  fi
  # Wine draws the caption buttons with Marlett. Debian's Wine looks for its
  # own fonts elsewhere than where fonts-wine puts them, so without this the
  # buttons come out as "0 1 r" in a fallback font; Wine takes every font in
  # the prefix's Fonts folder.
  local marlett=/usr/share/wine/fonts/marlett.ttf fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -f "$marlett" ] && ! cmp -s "$marlett" "$fonts/marlett.ttf"; then
    mkdir -p "$fonts" && cp "$marlett" "$fonts/marlett.ttf"
  fi
  # wineboot leaves the wineserver and its services running; whoever comes
  # next starts from nothing (and with its own display).
  stop_wine_prefix
}

#!/usr/bin/env bash
# Runs the README's first command (bash scripts/run) headless, as a newcomer
# would, and checks what it promises: exit status 0 without a locale warning,
# a screenshot whose path it prints, the first macro delivered to the stand-in
# client, and nothing of its own left running (no process of its Wine prefix,
# no Xvfb of its own).
#   check-run.sh fresh   expects no Wine prefix yet (a fresh clone)
#   check-run.sh again   expects the prefix an earlier run made
set -uo pipefail
cd "$(dirname "$0")/../.."
source tests/wine/wine-prefix.sh
prefix=$PWD/build/wineprefix
record=build/run/standin-record.txt
failures=0
fail() { echo "FAIL (scripts/run, $1): $2"; failures=$((failures + 1)); }

case ${1:-} in
  fresh) [ ! -e "$prefix" ] || fail "$1" "a Wine prefix exists already: $prefix" ;;
  again) [ -f "$prefix/system.reg" ] || fail "$1" "no Wine prefix from an earlier run" ;;
  *) echo "usage: check-run.sh fresh|again" >&2; exit 2 ;;
esac

mark_run check-run
output=$(env -u DISPLAY timeout 900 bash scripts/run 2>&1)
status=$?
printf '%s\n' "$output" | tail -n 5
[ "$status" -eq 0 ] || fail "$1" "exit status $status"
# A newcomer's first screen: bash warns "cannot change locale" when a script
# hands it the locale install-deps made after that shell started.
warning=$(grep -m1 'cannot change locale' <<<"$output")
[ -z "$warning" ] || fail "$1" "it warned: $warning"

shot=$(sed -n 's/^Screenshot: //p' <<<"$output")
[ -n "$shot" ] && [ -s "$shot" ] || fail "$1" "no screenshot path printed, or no file at it"
# "$1-1", the first default macro, typed and entered.
grep -qE '^[0-9]+ SETTEXT 24312d31$' "$record" 2>/dev/null &&
  grep -qE '^[0-9]+ KEYUP 13 0$' "$record" ||
  fail "$1" "the stand-in client did not record the first macro ($record)"

left=$(wine_prefix_pids "$prefix"; run_leftovers)
[ -z "$left" ] || fail "$1" "left running: $(ps -o pid=,args= -p "$(echo $left | tr ' ' ,)")"

[ "$failures" -eq 0 ] && echo "scripts/run ($1): passed"
exit $((failures != 0))

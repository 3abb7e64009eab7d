#!/usr/bin/env bash
# Runs the macro-file checker on the fixture files beside this script and
# compares what it says with expected.out.
# Usage: check-fixtures.sh CHECKER. (The Windows checker's report, which it
# writes in CP932, is compared with expected.out by tests/e2e/delivery_e2e_test.cpp;
# the exit statuses, the same code on both systems, are tested here only.)
set -uo pipefail
checker=$1
cd "$(dirname "$0")"
# KIVMACRO_CHECK_WRAPPER runs the checker under another program (valgrind).
read -ra run <<< "${KIVMACRO_CHECK_WRAPPER:-}"
run+=("$checker")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

expect_status() {  # status, files...
    local want=$1; shift
    "${run[@]}" "$@" >/dev/null 2>&1
    local got=$?
    [ "$got" -eq "$want" ] || fail "exit status $got, expected $want, for: $*"
}

actual=$("${run[@]}" clean.txt findings.txt utf8-bom.txt utf8.txt utf16le.txt utf16be.txt \
  emoji.txt cp932-kana.txt lf-only.txt carriage-returns.txt tokens.txt program.txt 2>&1)
diff -u expected.out <(printf '%s\n' "$actual") || fail "report differs from expected.out"

expect_status 0 clean.txt carriage-returns.txt cp932-kana.txt lf-only.txt
expect_status 1 clean.txt findings.txt
expect_status 2 clean.txt no-such-file.txt findings.txt
expect_status 2 clean.txt program.txt
expect_status 2 .
expect_status 2

missing=$("${run[@]}" no-such-file.txt 2>&1 >/dev/null)
[[ $missing == *no-such-file.txt* ]] || fail "the error does not name the missing file: $missing"

[ "$failures" -eq 0 ] && echo "checker fixtures: all passed"
exit $((failures != 0))

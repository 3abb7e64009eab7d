#!/usr/bin/env bash
# Runs a Windows program under Wine in the tests' prefix, Japanese (code page
# 932): how ctest runs the Windows builds' programs. A WINEPREFIX given by the
# caller wins.
here=$(dirname "$0")
source "$here/wine-prefix.sh"
export_wine_environment "${WINEPREFIX:-$(cd "$here/../.." && pwd)/build/wineprefix-tests}"
exec wine "$@"

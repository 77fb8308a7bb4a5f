#!/usr/bin/env bash
# Runs a Win32 program under Wine in the build tree's own prefix (see cmake/wine-prefix.sh).
# Used by ctest as the cross-compiling emulator and by the scripts.
set -e
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
: "${CORVALE_WINEPREFIX:=$here/../build/wineprefix-test}"
export WINEPREFIX=$CORVALE_WINEPREFIX
export WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
# Wine takes its code pages from LANG: C.UTF-8 gives ANSI 1252 and OEM 437.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
exec wine "$@"

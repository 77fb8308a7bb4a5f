#!/usr/bin/env bash
# Runs a Windows program under Wine in its architecture's prefix (see cmake/wine-prefix.sh).
#   wine-run.sh [win32|win64] PROGRAM [ARGS...]
# Without the first word, CORVALE_WINEARCH decides (default win32). Used by ctest as the
# cross-compiling emulator of each build tree and by the scripts.
set -e
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
CORVALE_SCRIPT=wine-run.sh
. "$here/../scripts-common.sh"
arch=${CORVALE_WINEARCH:-win32}
case ${1:-} in win32|win64) arch=$1; shift ;; esac
suffix=; [ "$arch" = win64 ] && suffix=64
: "${CORVALE_WINEPREFIX:=$here/../build/wineprefix-test$suffix}"
loader=$(corvale_wine_loader "$arch")
export WINEPREFIX=$CORVALE_WINEPREFIX WINEARCH=$arch WINELOADER=$loader
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
# Wine takes its code pages from LANG: C.UTF-8 gives ANSI 1252 and OEM 437.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
exec "$loader" "$@"

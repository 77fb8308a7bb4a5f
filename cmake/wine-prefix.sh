#!/usr/bin/env bash
# Makes (once) and starts a Wine prefix of one architecture.
#   wine-prefix.sh PREFIX headless [win32|win64]   - null graphics driver, for tests
#   wine-prefix.sh PREFIX display [win32|win64]    - X11 driver, unmanaged windows, for screenshots
set -e
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
CORVALE_SCRIPT=wine-prefix.sh
. "$here/../scripts-common.sh"
prefix=$1 mode=${2:-headless} arch=${3:-win32}
loader=$(corvale_wine_loader "$arch")
export WINEPREFIX=$prefix WINEARCH=$arch WINELOADER=$loader WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 LC_ALL=C.UTF-8
if [ ! -f "$prefix/.corvale-v3-$arch-$mode" ]; then
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  # A win64 prefix complains that syswow64\rundll32.exe is missing where 32-bit Wine cannot run: harmless.
  "$loader" wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  [ -f "$prefix/system.reg" ] ||
    corvale_die "Wine could not make the $arch prefix $prefix." "run 'WINEPREFIX=$prefix WINEARCH=$arch $loader wineboot -i' to see why."
  {
    echo 'REGEDIT4'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\WineDbg]'
    echo '"ShowCrashDialog"=dword:00000000'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\Drivers]'
    if [ "$mode" = headless ]; then echo '"Graphics"="null"'; else echo '"Graphics"="x11"'; fi
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]'
    echo '"Managed"="N"'
    echo '"Decorated"="Y"'
    echo
    # Wine maps the view's three faces to Liberation Mono, whose box-drawing glyphs stop short of
    # the line height (vertical lines show gaps between rows); DejaVu Sans Mono's fill the cell.
    echo '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]'
    echo '"Terminal"="DejaVu Sans Mono"'
    echo '"Courier New"="DejaVu Sans Mono"'
    echo '"Lucida Console"="DejaVu Sans Mono"'
  } > "$prefix/corvale.reg"
  "$loader" regedit /S "$("$loader" winepath -w "$prefix/corvale.reg" 2>/dev/null)" >/dev/null 2>&1 ||
    corvale_die "regedit could not import the prefix settings ($prefix/corvale.reg)." "delete $prefix and run again."
  wineserver -w
  touch "$prefix/.corvale-v3-$arch-$mode"
fi
# A persistent wineserver, detached from the caller's pipes, keeps each test's start-up short.
wineserver -p >/dev/null 2>&1 </dev/null &
"$loader" cmd /c exit >/dev/null 2>&1 </dev/null || true

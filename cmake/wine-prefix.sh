#!/usr/bin/env bash
# Makes (once) and starts a 32-bit Wine prefix.
#   wine-prefix.sh PREFIX headless   - null graphics driver, for tests
#   wine-prefix.sh PREFIX display    - X11 driver, unmanaged windows, for screenshots
set -e
prefix=$1 mode=${2:-headless}
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8 LC_ALL=C.UTF-8
if [ ! -f "$prefix/.corvale-v2-$mode" ]; then
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
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
  wine regedit /S "$(winepath -w "$prefix/corvale.reg" 2>/dev/null)" >/dev/null 2>&1
  wineserver -w
  touch "$prefix/.corvale-v2-$mode"
fi
# A persistent wineserver, detached from the caller's pipes, keeps each test's start-up short.
wineserver -p >/dev/null 2>&1 </dev/null &
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

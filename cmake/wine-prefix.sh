#!/usr/bin/env bash
# Makes (once) and starts a Wine prefix of one architecture.
#   wine-prefix.sh PREFIX headless [win32|win64] [DPI] [FACE]  - null graphics driver, for tests
#   wine-prefix.sh PREFIX display [win32|win64] [DPI] [FACE]   - X11 driver, unmanaged windows, for screenshots
# DPI (default 96) is the screen's logical pixels per inch; FACE (default "DejaVu Sans Mono") the
# font the view's three faces are replaced by.
set -e
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
CORVALE_SCRIPT=wine-prefix.sh
. "$here/../scripts-common.sh"
prefix=$1 mode=${2:-headless} arch=${3:-win32} dpi=${4:-96} face=${5:-DejaVu Sans Mono}
case $dpi in ''|*[!0-9]*) corvale_die "the DPI must be a number of pixels per inch, not '$dpi'." ;; esac
loader=$(corvale_wine_loader "$arch")
# The prefixes of the defaults keep the name they always had, so existing ones are kept.
marker=.corvale-v3-$arch-$mode
[ "$dpi" = 96 ] && [ "$face" = "DejaVu Sans Mono" ] || marker=$marker-$dpi-${face// /_}
export WINEPREFIX=$prefix WINEARCH=$arch WINELOADER=$loader WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 LC_ALL=C.UTF-8
if [ ! -f "$prefix/$marker" ]; then
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
    # FreeMono's leave seams as Courier New and Lucida Console do on Windows.
    echo '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]'
    echo "\"Terminal\"=\"$face\""
    echo "\"Courier New\"=\"$face\""
    echo "\"Lucida Console\"=\"$face\""
    echo
    # Wine 8 takes the screen's DPI from here first (measured: the machine-wide Hardware Profiles
    # key is read only when the user has none).
    echo '[HKEY_CURRENT_USER\Control Panel\Desktop]'
    printf '"LogPixels"=dword:%08x\n' "$dpi"
  } > "$prefix/corvale.reg"
  "$loader" regedit /S "$("$loader" winepath -w "$prefix/corvale.reg" 2>/dev/null)" >/dev/null 2>&1 ||
    corvale_die "regedit could not import the prefix settings ($prefix/corvale.reg)." "delete $prefix and run again."
  wineserver -w
  touch "$prefix/$marker"
fi
# A persistent wineserver, detached from the caller's pipes, keeps each test's start-up short.
wineserver -p >/dev/null 2>&1 </dev/null &
"$loader" cmd /c exit >/dev/null 2>&1 </dev/null || true

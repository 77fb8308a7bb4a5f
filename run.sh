#!/usr/bin/env bash
# Builds Corvale and runs it on FILE (default: the bundled sample NFO).
# Without a display it runs under Xvfb, saves a screenshot and prints its path.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$root/scripts-common.sh"
file=${1:-$root/samples/corvale.nfo}
[ -e "$file" ] && file=$(cd "$(dirname "$file")" && pwd)/$(basename "$file")
packages=("${CORVALE_BUILD_PACKAGES[@]}")
[ -n "${DISPLAY:-}" ] || packages+=("${CORVALE_DISPLAY_PACKAGES[@]}")
corvale_install "${packages[@]}"
corvale_build_win32 "$root" >/dev/null
exe=$root/build/win32/corvalex.exe
export CORVALE_WINEPREFIX=$root/build/wineprefix-run
"$root/cmake/wine-prefix.sh" "$CORVALE_WINEPREFIX" display >/dev/null 2>&1 || true
winfile=$(WINEPREFIX=$CORVALE_WINEPREFIX winepath -w "$file" 2>/dev/null)

if [ -n "${DISPLAY:-}" ]; then
  exec "$root/cmake/wine-run.sh" "$exe" "$winfile"
fi

# No display: one Xvfb, the program inside a Wine desktop (which draws frames and captions).
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'WINEPREFIX=$CORVALE_WINEPREFIX wineserver -k >/dev/null 2>&1 || true; kill $xvfb 2>/dev/null || true' EXIT
sleep 1
export DISPLAY=$display
"$root/cmake/wine-prefix.sh" "$CORVALE_WINEPREFIX" display >/dev/null 2>&1 || true
"$root/cmake/wine-run.sh" explorer /desktop=corvale,1024x768 "$exe" "$winfile" >/dev/null 2>&1 &
sleep "${CORVALE_SCREENSHOT_DELAY:-6}"
mkdir -p "$root/build/screenshots"
shot=$root/build/screenshots/corvale-$(date +%Y%m%d-%H%M%S).png
import -window root "$shot"
echo "Screenshot: $shot"

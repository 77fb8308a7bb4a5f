#!/usr/bin/env bash
# Builds Corvale and runs it on FILE (default: the bundled sample NFO): the 32-bit product where
# this machine runs 32-bit code, the x86-64 build otherwise (CORVALE_FORCE_WIN64=1 forces that).
# Without a display it runs under Xvfb, saves a screenshot and prints its path.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$root/scripts-common.sh"
corvale_trap_errors run.sh
file=${1:-$root/samples/corvale.nfo}
[ -e "$file" ] || corvale_die "no file '$file'." "name an existing file: ./run.sh path/to/file.nfo"
file=$(cd "$(dirname "$file")" && pwd)/$(basename "$file")
packages=("${CORVALE_BUILD_PACKAGES[@]}")
[ -n "${DISPLAY:-}" ] || packages+=("${CORVALE_DISPLAY_PACKAGES[@]}")
corvale_install "${packages[@]}"

corvale_detect_arches
arch=${CORVALE_ARCHES[0]}
if [ "$arch" = win32 ]; then
  echo "Running the 32-bit corvalex.exe (build/win32)."
else
  echo "Running the x86-64 corvalex.exe (build/win64): $CORVALE_NO_WIN32."
fi
corvale_build_windows "$root" "$arch" >/dev/null
exe=$root/build/$arch/corvalex.exe
export CORVALE_WINEARCH=$arch
suffix=; [ "$arch" = win64 ] && suffix=64
export CORVALE_WINEPREFIX=$root/build/wineprefix-run$suffix
loader=$(corvale_wine_loader "$arch")

if [ -n "${DISPLAY:-}" ]; then
  "$root/cmake/wine-prefix.sh" "$CORVALE_WINEPREFIX" display "$arch" >/dev/null
  winfile=$(WINEPREFIX=$CORVALE_WINEPREFIX "$loader" winepath -w "$file" 2>/dev/null)
  exec "$root/cmake/wine-run.sh" "$exe" "$winfile"
fi

# No display: one Xvfb, the program inside a Wine desktop (which draws frames and captions).
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'WINEPREFIX=$CORVALE_WINEPREFIX wineserver -k >/dev/null 2>&1 || true; kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in 1 2 3 4 5 6 7 8 9 10; do xdpyinfo >/dev/null 2>&1 && break; sleep 0.5; done
xdpyinfo >/dev/null 2>&1 || corvale_die "Xvfb did not start on $display." "run 'Xvfb $display' by hand to see why."
"$root/cmake/wine-prefix.sh" "$CORVALE_WINEPREFIX" display "$arch" >/dev/null
winfile=$(WINEPREFIX=$CORVALE_WINEPREFIX "$loader" winepath -w "$file" 2>/dev/null)
"$root/cmake/wine-run.sh" explorer /desktop=corvale,1024x768 "$exe" "$winfile" >/dev/null 2>&1 &
sleep "${CORVALE_SCREENSHOT_DELAY:-6}"
mkdir -p "$root/build/screenshots"
shot=$root/build/screenshots/corvale-$(date +%Y%m%d-%H%M%S).png
import -window root "$shot" || corvale_die "the screenshot could not be taken." "check that ImageMagick's import works on $display."
echo "Screenshot: $shot"

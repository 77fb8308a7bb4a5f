#!/usr/bin/env bash
# Builds and runs every test: core/ natively (with sanitizers, plus a short fuzz run), then both
# Windows builds and their window tests under Wine: the x86-64 build's everywhere, the 32-bit
# product's where this machine runs 32-bit code (CORVALE_FORCE_WIN64=1 skips it anywhere).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$root/scripts-common.sh"
corvale_trap_errors test.sh
corvale_install "${CORVALE_BUILD_PACKAGES[@]}" "${CORVALE_TEST_PACKAGES[@]}"
jobs=$(nproc)
werror=-DCORVALE_WERROR=${CI:+ON}
[ -n "${CI:-}" ] || werror=-DCORVALE_WERROR=OFF

echo "== native: core and its tests"
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug "$werror" >/dev/null
cmake --build "$root/build/native" -j"$jobs" || corvale_die "the native build failed." "fix the compiler errors above."
native_log=$root/build/native/ctest.log
status=0
ctest --test-dir "$root/build/native" -j"$jobs" --output-on-failure | tee "$native_log" || status=1

echo "== resources: the committed images match their pixel maps"
python3 "$root/resources/test_make_images.py" 2>&1 | tail -n 1

echo "== fuzz: reader, cleaner and view text"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build/fuzz" -DCORVALE_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build/fuzz" -j"$jobs" --target fuzz_text_pipeline
mkdir -p "$root/build/fuzz/corpus"
"$root/build/fuzz/fuzz_text_pipeline" -max_total_time="${CORVALE_FUZZ_SECONDS:-30}" -print_final_stats=0 \
  "$root/build/fuzz/corpus" 2>&1 | tail -n 3

echo "== windows: both builds (32-bit product, x86-64)"
for arch in win32 win64; do
  CORVALE_CMAKE_ARGS="$werror" corvale_build_windows "$root" "$arch"
done

corvale_detect_arches
logs=("$native_log")
ran=("native")
for arch in "${CORVALE_ARCHES[@]}"; do
  name=$(corvale_arch_name "$arch")
  echo "== $arch: the $name program and its window tests under Wine"
  suffix=; [ "$arch" = win64 ] && suffix=64
  export CORVALE_WINEPREFIX=$root/build/wineprefix-test$suffix
  "$root/cmake/wine-prefix.sh" "$CORVALE_WINEPREFIX" headless "$arch"
  log=$root/build/$arch/ctest.log
  ctest --test-dir "$root/build/$arch" --output-on-failure --timeout 300 | tee "$log" || status=1
  WINEPREFIX=$CORVALE_WINEPREFIX wineserver -k >/dev/null 2>&1 || true
  logs+=("$log")
  ran+=("$arch")
  # Once more where sizes and faces differ: 144 dpi, and the faces replaced by FreeMono, whose
  # line and block glyphs leave seams between cells as Courier New's and Lucida Console's do on
  # Windows. Only the tests of sizes, zoom and line art; the others assume 96 dpi.
  echo "== $arch at 144 dpi with FreeMono: scaling, zoom and line art"
  export CORVALE_WINEPREFIX=$root/build/wineprefix-test$suffix-dpi144
  "$root/cmake/wine-prefix.sh" "$CORVALE_WINEPREFIX" headless "$arch" 144 FreeMono
  log=$root/build/$arch/ctest-dpi144.log
  ctest --test-dir "$root/build/$arch" --output-on-failure --timeout 300 -R 'DpiScaling|ArtShapes|Zoom' | tee "$log" ||
    status=1
  WINEPREFIX=$CORVALE_WINEPREFIX wineserver -k >/dev/null 2>&1 || true
  logs+=("$log")
  ran+=("$arch@144dpi")
done

count() { sed -n "s/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p" "$1" | tail -n 1; }
failed=0 total=0
for log in "${logs[@]}"; do
  read -r f t < <(count "$log") || { f=1; t=1; echo "test.sh: no test count in $log: that suite did not finish." >&2; }
  failed=$((failed + f)); total=$((total + t))
done
echo "suites run: ${ran[*]}"
[ -n "$CORVALE_NO_WIN32" ] && echo "suite skipped: win32 window tests, because $CORVALE_NO_WIN32"
echo "tests: $((total - failed)) passed, $failed failed"
[ "$status" = 0 ] && [ "$failed" = 0 ]

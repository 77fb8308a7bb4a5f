#!/usr/bin/env bash
# Builds and runs every test: core/ natively (with sanitizers, plus a short fuzz run),
# then the program and its window tests under Wine.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$root/scripts-common.sh"
corvale_install "${CORVALE_BUILD_PACKAGES[@]}" "${CORVALE_TEST_PACKAGES[@]}"
jobs=$(nproc)
werror=-DCORVALE_WERROR=${CI:+ON}
[ -n "${CI:-}" ] || werror=-DCORVALE_WERROR=OFF

echo "== native: core and its tests"
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug "$werror" >/dev/null
cmake --build "$root/build/native" -j"$jobs"
native_log=$root/build/native/ctest.log
ctest --test-dir "$root/build/native" -j"$jobs" --output-on-failure | tee "$native_log"

echo "== resources: the committed images match their pixel maps"
python3 "$root/resources/test_make_images.py" 2>&1 | tail -n 1

echo "== fuzz: reader, cleaner and view text"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build/fuzz" -DCORVALE_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build/fuzz" -j"$jobs" --target fuzz_text_pipeline
mkdir -p "$root/build/fuzz/corpus"
"$root/build/fuzz/fuzz_text_pipeline" -max_total_time="${CORVALE_FUZZ_SECONDS:-30}" -print_final_stats=0 \
  "$root/build/fuzz/corpus" 2>&1 | tail -n 3

echo "== win32: the program and its window tests under Wine"
CORVALE_CMAKE_ARGS="$werror" corvale_build_win32 "$root"
export CORVALE_WINEPREFIX=$root/build/wineprefix-test
"$root/cmake/wine-prefix.sh" "$CORVALE_WINEPREFIX" headless
win32_log=$root/build/win32/ctest.log
status=0
ctest --test-dir "$root/build/win32" --output-on-failure --timeout 300 | tee "$win32_log" || status=1
WINEPREFIX=$CORVALE_WINEPREFIX wineserver -k >/dev/null 2>&1 || true

count() { sed -n "s/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p" "$1" | tail -n 1; }
read -r nf nt < <(count "$native_log")
read -r wf wt < <(count "$win32_log")
failed=$((nf + wf)); total=$((nt + wt))
echo "tests: $((total - failed)) passed, $failed failed"
[ "$status" = 0 ] && [ "$failed" = 0 ]

# Shared by run.sh and test.sh: installs what a fresh Debian 12 machine lacks. Sourced, not run.
corvale_sudo() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

corvale_install() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
    corvale_sudo dpkg --add-architecture i386
  fi
  corvale_sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive corvale_sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

CORVALE_BUILD_PACKAGES=(cmake make g++ googletest g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 fonts-dejavu-core fonts-liberation)
CORVALE_TEST_PACKAGES=(clang libclang-rt-14-dev python3)
CORVALE_DISPLAY_PACKAGES=(xvfb xauth imagemagick x11-utils)

corvale_build_win32() {
  local root=$1
  cmake -S "$root" -B "$root/build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release ${CORVALE_CMAKE_ARGS:-} >/dev/null
  cmake --build "$root/build/win32" -j"$(nproc)"
}

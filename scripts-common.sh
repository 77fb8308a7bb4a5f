# Shared by run.sh, test.sh and the Wine wrappers in cmake/: installs what a fresh Debian 12
# machine lacks, decides which Windows architectures this machine can run, and builds them.
# Sourced, not run.
corvale_sudo() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# Says what failed and what to do, instead of leaving a bare exit code.
corvale_die() {
  echo "$CORVALE_SCRIPT: $1" >&2
  [ -n "${2:-}" ] && echo "$CORVALE_SCRIPT: what to do: $2" >&2
  exit 1
}
corvale_on_error() {
  echo "$CORVALE_SCRIPT: stopped: '$BASH_COMMAND' failed (exit $1) at line $2; its output is above." >&2
}
corvale_trap_errors() {
  CORVALE_SCRIPT=$1
  set -E
  trap 'corvale_on_error $? $LINENO' ERR
}

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
  corvale_sudo apt-get update -qq ||
    corvale_die "apt-get update failed." "check that this machine reaches Debian's package servers, then run the command again."
  DEBIAN_FRONTEND=noninteractive corvale_sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
    corvale_die "apt-get could not install: ${missing[*]}." "run 'apt-get install ${missing[*]}' by hand to see why, then run the command again."
}

# Both Windows targets: the 32-bit product and the x86-64 build that runs where 32-bit code cannot.
CORVALE_BUILD_PACKAGES=(cmake make g++ googletest
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 fonts-dejavu-core fonts-liberation)
# FreeMono: the prefix of the 144-dpi test run draws its faces with it (see test.sh).
CORVALE_TEST_PACKAGES=(clang libclang-rt-14-dev python3 fonts-freefont-ttf)
CORVALE_DISPLAY_PACKAGES=(xvfb xauth imagemagick x11-utils)

# Which Windows architectures Wine can run here, decided by starting Wine's 32-bit loader: some
# machines run 64-bit code only, and there nothing of 32-bit Wine starts. CORVALE_FORCE_WIN64=1
# takes that 64-bit-only road on any machine. Sets CORVALE_ARCHES (what runs, preferred first)
# and CORVALE_NO_WIN32 (why win32 is not among them).
corvale_detect_arches() {
  local out
  CORVALE_ARCHES=(win64)
  CORVALE_NO_WIN32=""
  if [ -n "${CORVALE_FORCE_WIN64:-}" ]; then
    CORVALE_NO_WIN32="CORVALE_FORCE_WIN64 is set"
  elif [ ! -x /usr/lib/wine/wine ]; then
    CORVALE_NO_WIN32="32-bit Wine (wine32:i386) is not installed"
  elif ! out=$(/usr/lib/wine/wine --version 2>&1); then
    CORVALE_NO_WIN32="this machine runs 64-bit code only (Wine's 32-bit loader: ${out##*: })"
  else
    CORVALE_ARCHES=(win32 win64)
  fi
}

# Debian's wrappers (wine, wineboot, winepath, regedit) take the 32-bit loader whenever it is
# installed, runnable or not: every Wine program is started through the loader of its architecture.
corvale_wine_loader() {
  case $1 in
    win32) echo /usr/lib/wine/wine ;;
    win64) echo /usr/lib/wine/wine64 ;;
    *) corvale_die "unknown Windows architecture '$1' (win32 or win64)" ;;
  esac
}

corvale_arch_name() { case $1 in win32) echo "32-bit" ;; win64) echo "x86-64" ;; esac; }

# Builds one Windows tree: build/win32 (the product) or build/win64.
corvale_build_windows() {
  local root=$1 arch=$2 toolchain
  case $arch in win32) toolchain=mingw-i686 ;; win64) toolchain=mingw-x86_64 ;; esac
  cmake -S "$root" -B "$root/build/$arch" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release ${CORVALE_CMAKE_ARGS:-} >/dev/null ||
    corvale_die "cmake could not configure build/$arch." "read the messages above; 'rm -rf build/$arch' and run again if the tree is stale."
  cmake --build "$root/build/$arch" -j"$(nproc)" ||
    corvale_die "the $(corvale_arch_name "$arch") build failed." "fix the compiler errors above and run again."
}
# The 32-bit tree under its old name, for habits and helpers that call it.
corvale_build_win32() { corvale_build_windows "$1" win32; }

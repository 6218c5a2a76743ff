#!/bin/sh
# Checks that the Debian packages of a task are present and installs the
# missing ones when run as root. Optional packages are installed the same way,
# but only noted when they cannot be: their part of the task is skipped.
# usage: tools/setup.sh [test|bench|windows]
#   (none)   what `make demo` builds: the module, host, tools, tests, benchmarks
#   test     also the 32-bit toolchain of `make test`
#   bench    also OpenCV, the yardstick `make bench` compares the kernels with
#   windows  also the MinGW-w64 cross compilers, Wine and the MinGW zlib that
#            `make windows`, `make test-windows` and `make dist` need
set -eu
packages="cmake make g++ libgtest-dev libgmock-dev libbenchmark-dev libpng-dev libjpeg62-turbo-dev libwebp-dev pkg-config"
optional=""
case "${1:-}" in
  "") ;;
  test)
    case "$(dpkg --print-architecture)" in
      # qemu-user runs the 32-bit programs on kernels that cannot run them.
      amd64) optional="g++-multilib qemu-user" ;;
    esac
    ;;
  bench) optional="libopencv-dev" ;;
  windows)
    # dpkg-dev unpacks libpng's source package, zip packs the bundle.
    packages="$packages g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine64"
    packages="$packages libz-mingw-w64-dev dpkg-dev zip"
    ;;
  *)
    echo "usage: tools/setup.sh [test|bench|windows]" >&2
    exit 2
    ;;
esac
missing_of() {
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || printf ' %s' "$p"
  done
}
missing=$(missing_of $packages)
missing_optional=$(missing_of $optional)
[ -z "$missing$missing_optional" ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  if [ -n "$missing" ]; then
    echo "setup: run as root, or install:$missing$missing_optional" >&2
    exit 1
  fi
  echo "setup: optional packages missing (their tests will be skipped):$missing_optional"
  exit 0
fi
echo "setup: installing$missing$missing_optional"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing $missing_optional

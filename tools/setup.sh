#!/bin/sh
# Checks that the build's Debian packages are present and installs the missing
# ones when run as root. Optional packages are installed the same way, but only
# noted when they cannot be: their part of `make test` is skipped.
set -eu
packages="cmake make g++ libgtest-dev libgmock-dev libbenchmark-dev libpng-dev libjpeg62-turbo-dev libwebp-dev pkg-config"
optional=""
case "$(dpkg --print-architecture)" in
  # The 32-bit build of `make test`; qemu-user runs its programs on kernels
  # that cannot run 32-bit programs themselves.
  amd64) optional="g++-multilib qemu-user" ;;
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

#!/bin/sh
# Checks that the build's Debian packages are present and installs the missing
# ones when run as root.
set -eu
packages="cmake make g++ libgtest-dev libgmock-dev libbenchmark-dev libpng-dev pkg-config"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "setup: installing$missing"
if [ "$(id -u)" -ne 0 ]; then
  echo "setup: run as root, or install:$missing" >&2
  exit 1
fi
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing

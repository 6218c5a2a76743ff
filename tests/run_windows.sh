#!/bin/sh
# Cross-builds for Windows (tools/build_windows.sh) and tests the builds: the
# 64-bit suite under Wine, `zanhost.exe demo` under Wine against the Linux
# build's demo (same decoded pixels), and both DLLs' export and import tables
# from the Linux build. The 32-bit suite runs where a 32-bit Wine can run; on a
# kernel without 32-bit support only its DLL's tables are checked. With
# --if-present it skips, saying so, where the cross compilers or Wine are
# missing (`sh tools/setup.sh windows` installs them).
# usage: tests/run_windows.sh [--if-present] LINUX_BUILD WIN32_BUILD WIN64_BUILD
set -eu
if_present=false
if [ "$1" = --if-present ]; then
  if_present=true
  shift
fi
linux_build=$1
win32_build=$2
win64_build=$3
source_dir=$(cd "$(dirname "$0")/.." && pwd)
wine64=/usr/lib/wine/wine64
wine32=/usr/lib/wine/wine

missing=""
for tool in i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix dpkg-source; do
  command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
[ -x "$wine64" ] || missing="$missing wine64"
[ -f /usr/x86_64-w64-mingw32/lib/libz.a ] || missing="$missing libz-mingw-w64-dev"
if [ -n "$missing" ]; then
  if $if_present; then
    echo "windows: missing$missing; skipping the Windows builds and tests" \
      "(sh tools/setup.sh windows installs them)"
    exit 0
  fi
  echo "windows: missing$missing (sh tools/setup.sh windows installs them)" >&2
  exit 1
fi

sh "$source_dir/tools/build_windows.sh" i686 "$win32_build"
sh "$source_dir/tools/build_windows.sh" x86_64 "$win64_build"

win32_build=$(cd "$win32_build" && pwd)
win64_build=$(cd "$win64_build" && pwd)
export WINEDEBUG=-all
# A prefix per build, its server kept running for the whole suite: a test
# program started while an idle server shuts down can fail to start at all
# (no output, status 1), which once failed a test of a passing suite.
wine_session() {
  WINEPREFIX=$1/wine wineserver -p 2>/dev/null || true # one may be running already
  WINEPREFIX=$1/wine "$2" wineboot --init >/dev/null 2>&1
}
wine_servers_stop() {
  for build in "$win32_build" "$win64_build"; do
    WINEPREFIX=$build/wine wineserver -k 2>/dev/null || true
  done
}

echo "windows: the module files' export and import tables"
FX_WIN32_DLL=$win32_build/fxplugin.dll FX_WIN64_DLL=$win64_build/fxplugin.dll \
  ctest --test-dir "$linux_build" --output-on-failure -R 'WindowsDllTest|PeTablesTest'

echo "windows: running the 64-bit tests under Wine"
wine_session "$win64_build" "$wine64"
trap wine_servers_stop EXIT
# Under Wine a failing test runs once more before it counts (see above); the
# Linux suites run each test once.
ctest --test-dir "$win64_build" --output-on-failure -j "${JOBS:-2}" --repeat until-pass:2

if [ -x "$wine32" ] && wine_session "$win32_build" "$wine32" &&
  WINEPREFIX=$win32_build/wine "$wine32" "$win32_build/tests/hostapi/hostapi_test.exe" \
    --gtest_list_tests >/dev/null 2>&1; then
  echo "windows: running the 32-bit tests under Wine"
  ctest --test-dir "$win32_build" --output-on-failure -j "${JOBS:-2}" --repeat until-pass:2
else
  echo "windows: no 32-bit Wine can run here (a kernel without 32-bit support, or no wine32):" \
    "the 32-bit build is checked by its DLL's export and import tables only"
fi

echo "windows: zanhost.exe demo under Wine against the Linux build's demo"
demo=$(mktemp -d)
trap 'rm -rf "$demo"; wine_servers_stop' EXIT
"$linux_build/tools/zanhost" demo --out "$demo/linux" >/dev/null
WINEPREFIX=$win64_build/wine "$wine64" "$win64_build/tools/zanhost.exe" demo \
  --out "Z:$demo/windows" >/dev/null
"$linux_build/tests/tools/same_pictures" "$demo/linux" "$demo/windows"

#!/bin/sh
# Writes the release bundle DIST_DIR/fxplugin-VERSION/ and its .zip from the
# Linux x86-64 build and the two Windows builds: the module for each platform,
# zanhost for Linux and Windows x64 (in bin/, one folder below the module it
# loads by default), INSTALL.md for game makers and SHA256SUMS over every file.
# Binaries are copied without their symbol tables. VERSION is the project's
# one release number.
# usage: tools/make_dist.sh LINUX_BUILD WIN32_BUILD WIN64_BUILD DIST_DIR
set -eu
linux_build=$1
win32_build=$2
win64_build=$3
dist_dir=$4
source_dir=$(cd "$(dirname "$0")/.." && pwd)
version=$(head -n 1 "$source_dir/VERSION")
name=fxplugin-$version
bundle=$dist_dir/$name

if [ "$(uname -m)" != x86_64 ]; then
  echo "dist: the Linux files must come from an x86-64 build (this is $(uname -m))" >&2
  exit 1
fi
rm -rf "$bundle" "$bundle.zip"
mkdir -p "$bundle/linux-x86_64/bin" "$bundle/windows-x86" "$bundle/windows-x64/bin"
strip --strip-unneeded -o "$bundle/linux-x86_64/libfxplugin.so" "$linux_build/libfxplugin.so"
strip -o "$bundle/linux-x86_64/bin/zanhost" "$linux_build/tools/zanhost"
i686-w64-mingw32-strip -o "$bundle/windows-x86/fxplugin.dll" "$win32_build/fxplugin.dll"
x86_64-w64-mingw32-strip -o "$bundle/windows-x64/fxplugin.dll" "$win64_build/fxplugin.dll"
x86_64-w64-mingw32-strip -o "$bundle/windows-x64/bin/zanhost.exe" "$win64_build/tools/zanhost.exe"
cp "$source_dir/docs/INSTALL.md" "$bundle/INSTALL.md"
# The shipped (stripped) DLLs still export the two entries and import system DLLs only.
FX_WIN32_DLL=$(cd "$bundle" && pwd)/windows-x86/fxplugin.dll \
  FX_WIN64_DLL=$(cd "$bundle" && pwd)/windows-x64/fxplugin.dll \
  ctest --test-dir "$linux_build" --output-on-failure -Q -R WindowsDllTest
(cd "$bundle" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort |
  xargs sha256sum >SHA256SUMS)
(cd "$dist_dir" && zip -q -r -X "$name.zip" "$name")
echo "dist: wrote $bundle/ and $bundle.zip"

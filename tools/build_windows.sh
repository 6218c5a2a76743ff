#!/bin/sh
# Cross-builds the module (fxplugin.dll), zanhost.exe and the test programs for
# Windows with Debian's MinGW-w64 compilers, everything linked statically so
# that the files import system DLLs only. zanhost.exe reads and writes PNG
# through libpng, which Debian ships for Windows only as source: its source
# package (with Debian's patches) is fetched once through apt from a private
# source list, leaving the machine's apt configuration alone, and built
# statically against Debian's MinGW zlib (libz-mingw-w64-dev).
# usage: tools/build_windows.sh x86_64|i686 BUILD_DIR
set -eu
arch=$1
build_dir=$2
source_dir=$(cd "$(dirname "$0")/.." && pwd)
triplet=$arch-w64-mingw32
toolchain=$source_dir/cmake/mingw-w64-$arch.cmake
sysroot=/usr/$triplet
zlib="-DZLIB_LIBRARY=$sysroot/lib/libz.a -DZLIB_INCLUDE_DIR=$sysroot/include"

# libpng's Debian source, unpacked once for both architectures.
png_source=$source_dir/build-win-src/libpng
if [ ! -f "$png_source/CMakeLists.txt" ]; then
  apt_dir=$source_dir/build-win-src/apt
  rm -rf "$apt_dir" "$png_source"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/download"
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
    "http://deb.debian.org/debian $codename main" >"$apt_dir/sources.list"
  apt_private() {
    apt-get -q -o Dir::Etc::SourceList="$apt_dir/sources.list" \
      -o Dir::Etc::SourceParts=/nonexistent -o Dir::State::Lists="$apt_dir/lists" \
      -o Dir::Cache="$apt_dir/cache" -o Debug::NoLocking=1 "$@"
  }
  apt_private update >/dev/null
  (cd "$apt_dir/download" && apt_private source --download-only libpng1.6 >/dev/null 2>&1)
  # apt has checked the files against the signed index.
  dpkg-source --no-check -x "$apt_dir"/download/libpng1.6_*.dsc "$png_source" >/dev/null
  rm -rf "$apt_dir" "$source_dir"/build-win-src/libpng1.6_*
fi

mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)
png_prefix=$build_dir/libpng
if [ ! -f "$png_prefix/lib/libpng16.a" ]; then
  cmake -S "$png_source" -B "$build_dir/libpng-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$png_prefix" -DPNG_SHARED=OFF \
    -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF $zlib >/dev/null
  cmake --build "$build_dir/libpng-build" -j "${JOBS:-2}" >/dev/null
  cmake --install "$build_dir/libpng-build" >/dev/null
fi

# The programs run under Wine, in a Wine prefix of this build's own (32-bit
# ones only where a 32-bit Wine can run).
case $arch in
  x86_64) loader=/usr/lib/wine/wine64 ;;
  *) loader=/usr/lib/wine/wine ;;
esac
emulator="env;WINEPREFIX=$build_dir/wine;WINEDEBUG=-all;$loader"
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DFX_BUILD_BENCH=OFF -DFX_GTEST_SOURCE=/usr/src/googletest \
  -DPNG_LIBRARY="$png_prefix/lib/libpng16.a" -DPNG_PNG_INCLUDE_DIR="$png_prefix/include" $zlib \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" >/dev/null
cmake --build "$build_dir" -j "${JOBS:-2}"

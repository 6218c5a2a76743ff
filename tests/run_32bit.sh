#!/bin/sh
# Builds the module, the reference host and the unit tests for 32-bit x86 and
# runs every test there, so the 52-byte band record and 32-bit buffer addresses
# are exercised as a 32-bit engine has them. GoogleTest is built from Debian's
# sources; the host is built without PNG files and without the tools (there is
# no 32-bit libpng). Where the kernel cannot run 32-bit programs they run under
# qemu-i386 (qemu-user). Without a -m32 toolchain, or without a way to run its
# programs, it says so and skips.
# usage: tests/run_32bit.sh BUILD_DIR
set -eu
build_dir=$1
source_dir=$(cd "$(dirname "$0")/.." && pwd)
gtest_source=/usr/src/googletest

probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf '#include <vector>\nint main() { return std::vector<int>(1)[0]; }\n' >"$probe/probe.cpp"
if ! ${CXX:-c++} -m32 "$probe/probe.cpp" -o "$probe/probe" 2>/dev/null; then
  echo "32-bit: no -m32 toolchain (g++-multilib); skipping the 32-bit build and tests"
  exit 0
fi
emulator=""
if ! "$probe/probe" 2>/dev/null; then
  if ! command -v qemu-i386 >/dev/null 2>&1 || ! qemu-i386 "$probe/probe"; then
    echo "32-bit: this kernel cannot run 32-bit programs and qemu-i386 (qemu-user) is missing;" \
      "skipping the 32-bit build and tests"
    exit 0
  fi
  emulator=qemu-i386
  echo "32-bit: this kernel cannot run 32-bit programs; running them under qemu-i386"
fi
if [ ! -f "$gtest_source/CMakeLists.txt" ]; then
  echo "32-bit: no GoogleTest sources in $gtest_source (libgtest-dev); skipping the 32-bit tests"
  exit 0
fi

# Light optimisation and no debug information keep this third full build short.
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE= \
  -DCMAKE_C_FLAGS="-m32 -O1" -DCMAKE_CXX_FLAGS="-m32 -O1" -DFX_WITH_PNG=OFF -DFX_BUILD_TOOLS=OFF \
  -DFX_BUILD_BENCH=OFF -DFX_GTEST_SOURCE="$gtest_source" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" >/dev/null
cmake --build "$build_dir" -j "${JOBS:-2}"
echo "32-bit: running the tests"
ctest --test-dir "$build_dir" --output-on-failure -j "${JOBS:-2}"

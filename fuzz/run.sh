#!/bin/sh
# Builds the fuzz targets with clang and runs each for SECONDS seconds, one
# after the other, on one core. A target starts from its seed corpus in
# fuzz/corpus/<target>/; inputs it finds go to BUILD_DIR/corpus/<target>/ and a
# finding (crash, sanitizer report, failed check) to BUILD_DIR/findings/.
# Without clang and libFuzzer it says so and skips.
# usage: fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
set -eu
build_dir=$1
seconds=$2
shift 2
targets=${*:-blur_fuzzer blur_alpha_fuzzer distortion_fuzzer transitions_fuzzer kernel_paths_fuzzer}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }' \
  > "$probe/probe.cpp"
if ! command -v clang++ >/dev/null 2>&1 ||
  ! clang++ -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" 2>/dev/null; then
  echo "fuzz: clang++ with libFuzzer not found (clang, libclang-rt-dev); skipping the fuzz targets"
  exit 0
fi

CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DFX_FUZZ=ON -DFX_BUILD_TESTS=OFF -DFX_BUILD_TOOLS=OFF -DFX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j "${JOBS:-2}" --target $targets

passed=0
for target in $targets; do
  name=${target%_fuzzer}
  corpus="$build_dir/corpus/$name"
  findings="$build_dir/findings/$name"
  mkdir -p "$corpus" "$findings"
  log="$build_dir/$name.log"
  echo "fuzz: $name for ${seconds}s"
  if ! "$build_dir/fuzz/$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=3072 \
    -max_len=4096 -print_final_stats=1 -artifact_prefix="$findings/" \
    "$corpus" "$source_dir/fuzz/corpus/$name" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz: $name FAILED; the input is in $findings/"
    echo "fuzz: $passed passed, 1 failed"
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz: $name passed: $runs executions in ${seconds}s, no finding"
  # What a target says of itself (kernel_paths: the paths it could run).
  sed -n "s/^$name: /fuzz: $name: /p" "$log"
  passed=$((passed + 1))
done
echo "fuzz: $passed passed, 0 failed"

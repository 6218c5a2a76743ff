# Short wrapper around CMake. `make test` builds from scratch when needed and runs
# every test in a plain build, in a sanitizer build and in a 32-bit build, the
# Windows builds' tests (tests/run_windows.sh), then each fuzz target for a
# short while; the last three skip, saying so, where their toolchain
# (g++-multilib; MinGW-w64 and Wine; clang with libFuzzer) is missing.
# `make fuzz` runs each fuzz target for FUZZ_SECONDS. `make windows` cross-builds
# for 32- and 64-bit Windows, `make test-windows` tests those builds, and
# `make dist` writes the release bundle; these three install the Windows
# toolchain first (tools/setup.sh windows).
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
M32_DIR ?= build-m32
FUZZ_DIR ?= build-fuzz
WIN32_DIR ?= build-win32
WIN64_DIR ?= build-win64
DIST_DIR ?= dist
FUZZ_SECONDS ?= 600
FUZZ_SMOKE_SECONDS ?= 15
JOBS ?= 2
export JOBS

.PHONY: all deps deps-test deps-bench deps-windows build build-asan test test32 fuzz fuzz-smoke demo bench \
	bench-zanhost windows test-windows dist format clean

all: build

deps:
	@sh tools/setup.sh

deps-test:
	@sh tools/setup.sh test

deps-windows:
	@sh tools/setup.sh windows

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DFX_SANITIZE=ON -DFX_BUILD_BENCH=OFF
	cmake --build $(ASAN_DIR) -j $(JOBS)

test: deps-test build build-asan
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)
	ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)
	@sh tests/run_32bit.sh $(M32_DIR)
	@sh tests/run_windows.sh --if-present $(BUILD_DIR) $(WIN32_DIR) $(WIN64_DIR)
	@sh fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SMOKE_SECONDS)

test32: deps-test
	@sh tests/run_32bit.sh $(M32_DIR)

windows: deps-windows
	sh tools/build_windows.sh i686 $(WIN32_DIR)
	sh tools/build_windows.sh x86_64 $(WIN64_DIR)

test-windows: deps-windows build
	@sh tests/run_windows.sh $(BUILD_DIR) $(WIN32_DIR) $(WIN64_DIR)

dist: deps-windows build windows
	sh tools/make_dist.sh $(BUILD_DIR) $(WIN32_DIR) $(WIN64_DIR) $(DIST_DIR)

fuzz: deps
	@sh fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

fuzz-smoke: deps
	@sh fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SMOKE_SECONDS)

demo: build
	$(BUILD_DIR)/tools/zanhost demo --module $(BUILD_DIR)/libfxplugin.so

deps-bench:
	@sh tools/setup.sh bench

bench: deps-bench build
	$(BUILD_DIR)/bench/fx_bench

bench-zanhost: build
	$(BUILD_DIR)/bench/zanhost_bench

format:
	clang-format -i $$(git ls-files '*.h' '*.cpp')

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(M32_DIR) $(FUZZ_DIR) $(WIN32_DIR) $(WIN64_DIR) \
		build-win-src $(DIST_DIR)

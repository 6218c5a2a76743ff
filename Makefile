# Short wrapper around CMake. `make test` builds from scratch when needed and runs
# every test in a plain build, in a sanitizer build and in a 32-bit build, then
# each fuzz target for a short while; the last two skip, saying so, where their
# toolchain (g++-multilib, clang with libFuzzer) is missing. `make fuzz` runs
# each fuzz target for FUZZ_SECONDS.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
M32_DIR ?= build-m32
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 600
FUZZ_SMOKE_SECONDS ?= 15
JOBS ?= 2
export JOBS

.PHONY: all deps build build-asan test test32 fuzz fuzz-smoke demo bench bench-zanhost format clean

all: build

deps:
	@sh tools/setup.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DFX_SANITIZE=ON -DFX_BUILD_BENCH=OFF
	cmake --build $(ASAN_DIR) -j $(JOBS)

test: build build-asan
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)
	ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)
	@sh tests/run_32bit.sh $(M32_DIR)
	@sh fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SMOKE_SECONDS)

test32: deps
	@sh tests/run_32bit.sh $(M32_DIR)

fuzz: deps
	@sh fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

fuzz-smoke: deps
	@sh fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SMOKE_SECONDS)

demo: build
	$(BUILD_DIR)/tools/zanhost demo --module $(BUILD_DIR)/libfxplugin.so

bench: build
	$(BUILD_DIR)/bench/fx_bench

bench-zanhost: build
	$(BUILD_DIR)/bench/zanhost_bench

format:
	clang-format -i $$(git ls-files '*.h' '*.cpp')

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(M32_DIR) $(FUZZ_DIR)

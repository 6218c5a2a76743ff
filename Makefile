# Short wrapper around CMake. `make test` builds from scratch when needed and runs
# every test in a plain build and in a sanitizer build.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
JOBS ?= 2

.PHONY: all deps build build-asan test demo bench format clean

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

demo: build
	$(BUILD_DIR)/tools/zanhost demo --module $(BUILD_DIR)/libfxplugin.so

bench: build
	$(BUILD_DIR)/bench/fx_bench

format:
	clang-format -i $$(git ls-files '*.h' '*.cpp')

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR)

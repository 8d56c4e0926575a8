# Thin front over CMake. `make run` and `make test` install what is missing first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test demo bench format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD_DIR)

run: build
	@scripts/run-sample $(BUILD_DIR)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure --timeout 300

demo: build
	@scripts/demo $(BUILD_DIR)

bench: build
	@scripts/bench $(BUILD_DIR)

format:
	@find src tests tools bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR)

# Front for the CMake build. `make check` is the test command; `make demo` builds
# and runs the sample product's installer.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build check demo bench fuzz format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

check: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS) --timeout 600

demo: build
	@scripts/demo $(BUILD)

bench: deps
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVANTRY_TESTS=OFF >/dev/null
	@cmake --build build-bench -j$(JOBS)
	@scripts/bench build-bench

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DVANTRY_FUZZ=ON -DVANTRY_TESTS=OFF -DVANTRY_BENCH=OFF >/dev/null
	@cmake --build build-fuzz --target fuzzers -j$(JOBS)
	@scripts/fuzz build-fuzz $(or $(FUZZ_SECONDS),60)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) build-bench build-fuzz

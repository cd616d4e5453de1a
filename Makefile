# Front for the CMake build. `make check` is the test command; `make demo` builds
# only what the demo runs (the build tool, the two programs an installer is
# made from and the resource tool) and runs the sample product's installer.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# CI turns our own warnings into errors.
ifdef CI
CMAKE_FLAGS += -DVANTRY_WERROR=ON
endif
DEMO_TARGETS = vantry-build Installer Deinstaller vantry-res

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

demo: configure
	@cmake --build $(BUILD) -j$(JOBS) --target $(DEMO_TARGETS)
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

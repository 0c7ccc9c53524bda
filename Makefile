# Ombrix build entry points. `make test` and `make run` install what is
# missing (scripts/bootstrap.sh), so they work on a fresh Debian 12 machine.
#   make test                 build native, sanitizer, fuzz and Windows
#                             configurations and run every test
#   make run                  build and start Ombrix under Wine
#   make fuzz FUZZ_SECONDS=N  run every fuzz target N seconds
#   make bench                run the benchmarks
#   make dist                 the portable zip, build/windows/dist/ombrix-win64.zip
#   make mutation SEEDS=1,2,3 COUNT=40
#                             mutation check of the platform-neutral code
#                             against the native tests (scripts/mutate.py)
BUILD        ?= build
BUILD_ABS    := $(abspath $(BUILD))
JOBS         ?= $(shell nproc)
FUZZ_SECONDS ?= 60
TEST_FUZZ_SECONDS ?= 20
SEEDS        ?= 1,2,3
COUNT        ?= 40
CMAKE        ?= cmake
GENERATOR    ?= Ninja
COMMON       := -G $(GENERATOR) -DOMBRIX_TESTDATA_DIR=$(BUILD_ABS)/testdata \
                -DOMBRIX_DEPS_DIR=$(BUILD_ABS)/deps
LOGS         := $(BUILD_ABS)/logs

.PHONY: all bootstrap native asan tsan windows fuzz-build test run fuzz bench mutation dist clean

all: native windows

bootstrap:
	@scripts/bootstrap.sh $(BUILD_ABS)/deps

native: bootstrap
	$(CMAKE) -S . -B $(BUILD)/native $(COMMON) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	$(CMAKE) --build $(BUILD)/native -j $(JOBS)

asan: bootstrap
	$(CMAKE) -S . -B $(BUILD)/asan $(COMMON) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DOMBRIX_SANITIZE=address,undefined >/dev/null
	$(CMAKE) --build $(BUILD)/asan -j $(JOBS)

tsan: bootstrap
	$(CMAKE) -S . -B $(BUILD)/tsan $(COMMON) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DOMBRIX_SANITIZE=thread >/dev/null
	$(CMAKE) --build $(BUILD)/tsan -j $(JOBS)

windows: bootstrap
	$(CMAKE) -S . -B $(BUILD)/windows $(COMMON) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake >/dev/null
	$(CMAKE) --build $(BUILD)/windows -j $(JOBS)

fuzz-build: bootstrap
	CC=clang CXX=clang++ $(CMAKE) -S . -B $(BUILD)/fuzz $(COMMON) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DOMBRIX_FUZZ=ON >/dev/null
	$(CMAKE) --build $(BUILD)/fuzz -j $(JOBS)

# Each runner's summary is kept in $(LOGS); the last line adds them up and
# decides the exit code. A failing suite does not stop the others.
test: native asan tsan windows fuzz-build
	@mkdir -p $(LOGS)
	@rm -f $(LOGS)/*.log
	-cd $(BUILD)/native && ctest -j $(JOBS) --output-on-failure 2>&1 | tee $(LOGS)/native.log
	-cd $(BUILD)/asan && ctest -j $(JOBS) --output-on-failure 2>&1 | tee $(LOGS)/asan.log
	-cd $(BUILD)/tsan && ctest -j $(JOBS) --output-on-failure 2>&1 | tee $(LOGS)/tsan.log
	-cd $(BUILD)/windows && ctest -j $(JOBS) --output-on-failure 2>&1 | tee $(LOGS)/windows.log
	-cd $(BUILD)/fuzz && OMBRIX_FUZZ_SECONDS=$(TEST_FUZZ_SECONDS) ctest --output-on-failure 2>&1 | tee $(LOGS)/fuzz.log
	@scripts/test-summary.sh $(LOGS)/native.log $(LOGS)/asan.log $(LOGS)/tsan.log \
	  $(LOGS)/windows.log $(LOGS)/fuzz.log

fuzz: fuzz-build
	cd $(BUILD)/fuzz && OMBRIX_FUZZ_SECONDS=$(FUZZ_SECONDS) ctest --output-on-failure --timeout 0

bench: native windows
	BUILD=$(BUILD_ABS) bench/run_all.sh

# Builds its own copy of the native configuration in $(BUILD)/mutation and
# writes the surviving mutants to $(BUILD)/mutation/report.txt.
mutation: native
	python3 scripts/mutate.py --build-dir $(BUILD)/mutation --testdata $(BUILD_ABS)/testdata \
	  --seeds $(SEEDS) --count $(COUNT)

dist: windows
	scripts/make-dist.sh $(BUILD)/windows

run: windows
	BUILD=$(BUILD_ABS) scripts/run-ombrix.sh

# The deep test chain lies outside the build folder (tests/data/build_trees.py).
clean:
	@if [ -f $(BUILD)/testdata/trees/deep.path ]; then rm -rf "$$(cat $(BUILD)/testdata/trees/deep.path)"; fi
	rm -rf $(BUILD)

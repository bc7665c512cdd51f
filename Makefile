# Thin wrapper around the set-up script and CMake.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
PREFIX ?= /usr/local
SANITIZE_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?= -1
FUZZ_SANITIZE ?= 1

.PHONY: all deps configure build check test test-sanitized run bench fuzz clean install

all: build

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_INSTALL_PREFIX=$(PREFIX) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The edit-test loop: builds what the tests run (no benchmarks) and runs the
# tests, without the sanitizer build; `make test` is what CI runs.
check: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tavorix_tests
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-sanitized

# The fuzz corpora replayed as tests with AddressSanitizer and
# UndefinedBehaviorSanitizer (gcc); only the computation and the replays are built.
test-sanitized: deps
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ \
	  -DTAVORIX_BUILD_GUI=OFF -DTAVORIX_BUILD_TESTS=OFF -DTAVORIX_BUILD_BENCH=OFF \
	  -DTAVORIX_SANITIZE=ON -DTAVORIX_FUZZ=replay
	cmake --build $(SANITIZE_DIR) -j $(JOBS) --target tavorix_fuzz
	cd $(SANITIZE_DIR) && ctest --output-on-failure -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS (or FUZZ_RUNS executions; FUZZ_SANITIZE=0
# for the faster build without sanitizers); new inputs that add coverage join fuzz/corpus.
fuzz:
	./scripts/install-deps.sh --fuzz
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_RUNS=$(FUZZ_RUNS) FUZZ_SANITIZE=$(FUZZ_SANITIZE) ./scripts/fuzz.sh $(FUZZ_DIR)

run: build
	./scripts/run.sh $(BUILD_DIR)

bench: build
	./scripts/bench.sh $(BUILD_DIR)

install: build
	cmake --install $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR)

# Front door: `make run` does the main job, `make test` passes every test.
# Both install missing Debian packages first (scripts/install-deps, as root).

MAKEFLAGS  += --no-print-directory

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
WINDOWS_BUILD ?= build-windows
JOBS       ?= 2
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build test test-asan test-windows fuzz bench run clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# Core and toolkit tests under AddressSanitizer + UndefinedBehaviorSanitizer (no Qt).
test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKELPMERE_SANITIZE=ON \
	  -DKELPMERE_QT=OFF -DKELPMERE_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j$(JOBS)

# The core, kelpmere-cli and their tests cross-built for Windows (MinGW-w64) and run under Wine.
test-windows:
	@scripts/install-deps windows
	@scripts/test-windows $(WINDOWS_BUILD) $(JOBS)

# The decoder fuzzer (libFuzzer + ASan + UBSan, built with clang), run for FUZZ_SECONDS.
fuzz: deps
	@CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELPMERE_FUZZ=ON \
	  -DKELPMERE_QT=OFF -DKELPMERE_TESTS=OFF -DKELPMERE_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz_decoder
	@scripts/run-fuzzer $(FUZZ_BUILD)/fuzz/fuzz_decoder $(FUZZ_SECONDS)

bench: build
	@scripts/run-benchmarks $(BUILD)

run: build
	@scripts/run $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD)

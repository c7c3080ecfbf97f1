# Front door: `make run` does the main job, `make test` passes every test.
# Both install missing Debian packages first (scripts/install-deps, as root); SKIP_DEPS=1 skips
# that step for a machine that has everything.

MAKEFLAGS  += --no-print-directory

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
WINDOWS_BUILD ?= build-windows
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build test test-asan test-windows package-windows fuzz bench run clean package test-package

all: build

deps:
ifneq ($(SKIP_DEPS),1)
	@scripts/install-deps
endif

# Runs CMake quietly; when it fails, what it said is shown.
quiet_cmake = out=$$(cmake $(1) 2>&1) || { printf '%s\n' "$$out" >&2; exit 1; }

configure: deps
	@$(call quiet_cmake,-S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELPMERE_WERROR=ON)

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# Core and toolkit tests under AddressSanitizer + UndefinedBehaviorSanitizer (no Qt).
test-asan: deps
	@$(call quiet_cmake,-S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKELPMERE_SANITIZE=ON -DKELPMERE_WERROR=ON \
	  -DKELPMERE_QT=OFF -DKELPMERE_BENCH=OFF)
	@cmake --build $(ASAN_BUILD) -j$(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j$(JOBS)

# Everything but the Qt backend cross-built for Windows (MinGW-w64), its tests run under Wine.
test-windows:
ifneq ($(SKIP_DEPS),1)
	@scripts/install-deps windows
endif
	@scripts/test-windows $(WINDOWS_BUILD) $(JOBS)

# The 64-bit Windows installer (NSIS, per user) and the portable zip in $(WINDOWS_BUILD)/package.
package-windows:
ifneq ($(SKIP_DEPS),1)
	@scripts/install-deps windows
endif
	@scripts/build-windows $(WINDOWS_BUILD) $(JOBS)
	@scripts/package-windows $(WINDOWS_BUILD)

# The decoder fuzzer (libFuzzer + ASan + UBSan, built with clang), run for FUZZ_SECONDS.
fuzz: deps
	@export CXX=clang++; $(call quiet_cmake,-S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELPMERE_FUZZ=ON -DKELPMERE_WERROR=ON \
	  -DKELPMERE_QT=OFF -DKELPMERE_TESTS=OFF -DKELPMERE_BENCH=OFF)
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz_decoder
	@scripts/run-fuzzer $(FUZZ_BUILD)/fuzz/fuzz_decoder $(FUZZ_SECONDS)

# The Debian package, made by CPack from the build `make test` uses (the same binaries, stripped),
# installed under /usr: $(BUILD)/package/kelpmere_<version>_amd64.deb.
package:
ifneq ($(SKIP_DEPS),1)
	@scripts/install-deps
	@scripts/install-deps package
endif
	@$(call quiet_cmake,-S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELPMERE_WERROR=ON -DCMAKE_INSTALL_PREFIX=/usr)
	@rm -f $(BUILD)/package/kelpmere_*.deb # one package: the checks take it by pattern
	@cmake --build $(BUILD) -j$(JOBS) --target package

# Checks the package's contents and metadata, then (as root) installs it, uses it and purges it.
test-package: package
	@scripts/check-package $(BUILD)/package/kelpmere_*_amd64.deb
	@scripts/test-installed-package $(BUILD)/package/kelpmere_*_amd64.deb

bench: build
	@scripts/run-benchmarks $(BUILD)

run: build
	@scripts/run $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD)

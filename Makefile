# Thin wrapper: every target installs what is missing, configures and builds first.
BUILD ?= build
# Core library and core tests under AddressSanitizer and UndefinedBehaviorSanitizer.
ASAN_BUILD ?= build-asan
# Fuzz targets (clang, libFuzzer) and how long each one runs.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test test-tsan test-asan fuzz bench package clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Builds the program alone, then starts it.
run: configure
	cmake --build $(BUILD) --target lumicut -j $(JOBS)
	./$(BUILD)/lumicut

# The programs the tests run, then the tests (widget tests offscreen; the desktop check
# starts an X server of its own); then the background work under ThreadSanitizer and the
# core tests again under the address sanitizers.
test: configure
	cmake --build $(BUILD) --target test_programs -j $(JOBS)
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -E '^core_threads$$'
	$(MAKE) --no-print-directory test-tsan
	$(MAKE) --no-print-directory test-asan

# The save queue, the decoding ahead and the full-size decode under ThreadSanitizer: a small
# test program of their own built in the normal build folder (cmake/Sanitize.cmake).
test-tsan: configure
	cmake --build $(BUILD) --target lumicut_thread_tests -j $(JOBS)
	cd $(BUILD) && ctest -R '^core_threads$$' --output-on-failure

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DLUMICUT_SANITIZE=ON
	cmake --build $(ASAN_BUILD) --target lumicut_core_tests -j $(JOBS)
	cd $(ASAN_BUILD) && ctest -R '^core$$' --output-on-failure

# Builds the fuzz targets with clang and runs each for FUZZ_SECONDS from generated seeds.
fuzz: deps
	@scripts/fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS) $(JOBS)

# Every benchmark program, then one table of their rows (bench/BenchReport.h) with the
# targets missed marked.
bench: configure
	cmake --build $(BUILD) --target benchmarks -j $(JOBS)
	@scripts/bench-table $(BUILD)/bench

# Debian package (.deb) in $(BUILD)/, built by CPack.
package: build
	cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)

# Thin wrapper around CMake: `make run` builds the engine and starts it,
# `make test` builds everything and runs every test (also the unit tests
# under AddressSanitizer and UndefinedBehaviorSanitizer).
JOBS ?= 2
BUILD := build
ASAN := build-asan

.PHONY: all build run test test-release test-asan clean tsan

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/orvalis

test-release: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan:
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVALIS_SANITIZE=ON -DORVALIS_UNIT_ONLY=ON
	cmake --build $(ASAN) -j $(JOBS)
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -L unit -LE slow

test: test-release test-asan

clean:
	rm -rf $(BUILD) $(ASAN) $(TSAN)

# ---- ThreadSanitizer: the engine and the end-to-end tests that start, stop and
# interrupt searches. A reported race makes the engine exit with code 66, which
# fails the test. Ending the process with _exit while a finished search thread
# is not joined is deliberate, so thread leaks are not reported. The tests under
# a memory limit are left out (the sanitizer needs a large address space).
TSAN := build-tsan
TSAN_TESTS := SearchInterrupt|UciProtocol|XboardGame|XboardProtocol|HostileInput|BookMove|CommandLine

tsan:
	cmake -S . -B $(TSAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVALIS_TSAN=ON
	cmake --build $(TSAN) -j $(JOBS) --target test_e2e
	cd $(TSAN) && TSAN_OPTIONS="halt_on_error=1 exitcode=66 report_thread_leaks=0" \
	  ctest --output-on-failure -j $(JOBS) -L e2e -R '$(TSAN_TESTS)' -E 'RefusedHashGrowth'

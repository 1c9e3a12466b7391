# Thin wrapper around CMake: `make run` builds the engine and starts it,
# `make test` builds everything and runs every test (also the unit tests
# under AddressSanitizer and UndefinedBehaviorSanitizer), `make book PGN=<file>`
# builds the opening book build/Orvalis.bo2 from PGN games.
JOBS ?= 2
BUILD := build
ASAN := build-asan

.PHONY: all build run test test-release test-asan book clean tsan fuzz

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

# make book PGN=<file.pgn> [PLIES=N] [MIN_GAMES=K]: the opening book beside the engine.
PLIES ?= 20
MIN_GAMES ?= 2
book: build
	@test -n "$(PGN)" || { echo "usage: make book PGN=<file.pgn> [PLIES=N] [MIN_GAMES=K]"; exit 2; }
	./$(BUILD)/orvalis-tool bookgen $(BUILD)/Orvalis.bo2 $(PGN) --plies $(PLIES) --min-games $(MIN_GAMES)

clean:
	rm -rf $(BUILD) $(ASAN) $(TSAN) $(FUZZ)

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

# ---- Fuzzing: the libFuzzer targets of tests/fuzz, built with clang in
# build-fuzz and run FUZZ_SECONDS each; a crash fails the make ----
FUZZ := build-fuzz
FUZZ_CXX ?= clang++-14
FUZZ_SECONDS ?= 20
FUZZ_TARGETS ?=

fuzz:
	@printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' | \
	  $(FUZZ_CXX) -fsanitize=fuzzer,address,undefined -x c++ - -o /dev/null 2>/dev/null || { \
	  echo "fuzz: $(FUZZ_CXX) with the libFuzzer runtime is needed; on Debian: apt-get install clang-14 libclang-rt-14-dev"; \
	  exit 1; }
	cmake -S . -B $(FUZZ) -DCMAKE_CXX_COMPILER=$(FUZZ_CXX) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DORVALIS_FUZZ=ON -DORVALIS_UNIT_ONLY=ON
	cmake --build $(FUZZ) -j $(JOBS) --target fuzz_targets
	tests/fuzz/run_fuzzers.sh $(FUZZ) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# Thin wrapper around CMake: `make run` builds the engine and starts it,
# `make test` builds everything and runs every test (also the unit tests
# under AddressSanitizer and UndefinedBehaviorSanitizer), `make book PGN=<file>`
# builds the opening book build/Orvalis.bo2 from PGN games, `make tablebases`
# generates every 3- and 4-man endgame table, compressed, into build/tb.
# `make EXE=<path>` also copies the engine to <path> (as testing frameworks build it).
JOBS ?= 2
BUILD := build
ASAN := build-asan

.PHONY: all build run test test-release test-asan book tablebases clean tsan fuzz format

all: build

build:
	@$(MAKE) --no-print-directory pgo-profile || { echo "profile run failed: building without a profile"; rm -f $(PGO_STAMP); }
	pgo=$$([ -f $(PGO_STAMP) ] && echo use); \
	  cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DORVALIS_PGO=$$pgo -DORVALIS_PGO_DIR=$(PGO_DIR)
	cmake --build $(BUILD) -j $(JOBS)
	@if [ -n "$(EXE)" ]; then cp $(BUILD)/orvalis "$(EXE)" && echo "engine copied to $(EXE)"; fi

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

# make tablebases [TB_MEN=5]: the endgame tables of up to TB_MEN men into build/tb
# (tables already complete there are kept). Only orvalis-tool is built for it.
TB_MEN ?= 4
tablebases:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) --target orvalis-tool -j $(JOBS)
	./$(BUILD)/orvalis-tool tbgen all $(BUILD)/tb --men $(TB_MEN) --compress

# make format: every tracked C++ source in the house style of .clang-format
CLANG_FORMAT ?= clang-format
format:
	git ls-files '*.cpp' '*.h' | xargs $(CLANG_FORMAT) -i

clean:
	rm -rf $(BUILD) $(ASAN) $(TSAN) $(FUZZ) $(PGO_BUILD) build-native

# ---- ThreadSanitizer: the engine and the end-to-end tests that start, stop and
# interrupt searches. A reported race makes the engine exit with code 66, which
# fails the test. Ending the process with _exit while a finished search thread
# is not joined is deliberate, so thread leaks are not reported. The tests under
# a memory limit are left out (the sanitizer needs a large address space).
TSAN := build-tsan
TSAN_TESTS := SearchInterrupt|UciProtocol|XboardGame|XboardProtocol|HostileInput|BookMove|CommandLine|ParallelSearch|UciSearchLimits|UciPonder|XboardExtras|XboardPonder

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


# ---- Speed: the profile run of the Release build, and an opt-in native build ----
# An instrumented orvalis-tool (its own folder, engine target only) runs a short
# bench; its profile is taken again whenever that tool was rebuilt. The build
# target above goes on without a profile when any of this fails.
PGO_BUILD := build-pgo
PGO_DIR := $(CURDIR)/$(PGO_BUILD)/profile
PGO_STAMP := $(PGO_DIR)/done
PGO_DEPTH := 8

.PHONY: pgo-profile native

pgo-profile:
	cmake -S . -B $(PGO_BUILD) -DCMAKE_BUILD_TYPE=Release -DORVALIS_PGO=generate -DORVALIS_PGO_DIR=$(PGO_DIR) >/dev/null
	cmake --build $(PGO_BUILD) --target orvalis-tool -j $(JOBS)
	@if [ ! -f $(PGO_STAMP) ] || [ $(PGO_BUILD)/orvalis-tool -nt $(PGO_STAMP) ]; then \
	  rm -rf $(PGO_DIR) && echo "profile run: orvalis-tool bench $(PGO_DEPTH)" && \
	  ./$(PGO_BUILD)/orvalis-tool bench $(PGO_DEPTH) >/dev/null && touch $(PGO_STAMP); \
	fi

# Optimised for this machine's processor only: the binary may not run elsewhere.
native:
	cmake -S . -B build-native -DCMAKE_BUILD_TYPE=Release -DORVALIS_NATIVE=ON -DORVALIS_UNIT_ONLY=OFF
	cmake --build build-native --target orvalis orvalis-tool -j $(JOBS)

# Thin wrapper around CMake: `make run` builds the engine and starts it,
# `make test` builds everything and runs every test (also the unit tests
# under AddressSanitizer and UndefinedBehaviorSanitizer).
JOBS ?= 2
BUILD := build
ASAN := build-asan

.PHONY: all build run test test-release test-asan clean

all: build

build:
	@$(MAKE) --no-print-directory pgo-profile || { echo "profile run failed: building without a profile"; rm -f $(PGO_STAMP); }
	pgo=$$([ -f $(PGO_STAMP) ] && echo use); \
	  cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DORVALIS_PGO=$$pgo -DORVALIS_PGO_DIR=$(PGO_DIR)
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
	rm -rf $(BUILD) $(ASAN) $(PGO_BUILD) build-native

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

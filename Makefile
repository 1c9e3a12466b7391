# Thin wrapper around CMake: `make run` builds the engine and starts it,
# `make test` builds everything and runs every test (also the unit tests
# under AddressSanitizer and UndefinedBehaviorSanitizer), `make book PGN=<file>`
# builds the opening book build/Orvalis.bo2 from PGN games.
JOBS ?= 2
BUILD := build
ASAN := build-asan

.PHONY: all build run test test-release test-asan book clean

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
	rm -rf $(BUILD) $(ASAN)

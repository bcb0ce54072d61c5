# Set-up and everyday commands over CMake.
#
#   make run     builds the program and starts it
#   make test    builds and runs every test (see the README)
#   make bench   builds and runs the benchmarks
#   make fuzz    runs each fuzz target for FUZZ_SECONDS (default 600)

BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE ?= cmake
CTEST ?= ctest
MINGW_CXX ?= x86_64-w64-mingw32-g++-posix
WINE ?= $(firstword $(wildcard /usr/lib/wine/wine64) $(shell command -v wine64 2>/dev/null))
FUZZ_SECONDS ?= 600

.PHONY: run test test-native test-sanitize test-fuzz test-windows bench fuzz clean

run:
	@$(CMAKE) -S . -B $(BUILD_DIR)/release -DCMAKE_BUILD_TYPE=Release -DPOKERHILFE_BUILD_TESTS=OFF >/dev/null
	@$(CMAKE) --build $(BUILD_DIR)/release --target pokerhilfe --parallel $(JOBS) >/dev/null
	@./$(BUILD_DIR)/release/pokerhilfe

test: test-native test-sanitize test-fuzz test-windows

# Unit, system and terminal tests of the program as built for this machine.
test-native:
	$(CMAKE) -S . -B $(BUILD_DIR)/native -DCMAKE_BUILD_TYPE=RelWithDebInfo
	$(CMAKE) --build $(BUILD_DIR)/native --parallel $(JOBS)
	cd $(BUILD_DIR)/native && $(CTEST) --output-on-failure --parallel $(JOBS)

# The same suite with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize:
	CC=clang CXX=clang++ $(CMAKE) -S . -B $(BUILD_DIR)/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPOKERHILFE_SANITIZE=ON
	$(CMAKE) --build $(BUILD_DIR)/sanitize --parallel $(JOBS)
	cd $(BUILD_DIR)/sanitize && $(CTEST) --output-on-failure --parallel $(JOBS)

# A short run of each fuzz target on its seed corpus.
test-fuzz:
	CC=clang CXX=clang++ $(CMAKE) -S . -B $(BUILD_DIR)/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPOKERHILFE_BUILD_FUZZERS=ON -DPOKERHILFE_BUILD_TESTS=OFF -DPOKERHILFE_FUZZ_SECONDS=20
	$(CMAKE) --build $(BUILD_DIR)/fuzz --parallel $(JOBS)
	cd $(BUILD_DIR)/fuzz && $(CTEST) --output-on-failure --parallel $(JOBS)

# The Windows program, cross-built with MinGW-w64 and tested under Wine. Without the two, the
# tests are skipped with a message, except in CI, where that is a failure.
test-windows:
	@if ! command -v $(MINGW_CXX) >/dev/null 2>&1 || [ -z "$(WINE)" ]; then \
	  reason="they need $(MINGW_CXX) (package g++-mingw-w64-x86-64-posix) and Wine (package wine64)"; \
	  if [ -n "$$CI" ]; then echo "Windows tests FAILED: $$reason" >&2; exit 1; fi; \
	  echo; echo "*** Windows tests SKIPPED: $$reason. ***"; echo; exit 0; \
	fi; \
	set -e; \
	$(CMAKE) -S . -B $(BUILD_DIR)/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DPOKERHILFE_WINE=$(WINE); \
	$(CMAKE) --build $(BUILD_DIR)/windows --parallel $(JOBS); \
	cd $(BUILD_DIR)/windows && $(CTEST) --output-on-failure --parallel $(JOBS)

bench:
	bench/run_all.sh $(BUILD_DIR)/bench

fuzz:
	CC=clang CXX=clang++ $(CMAKE) -S . -B $(BUILD_DIR)/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPOKERHILFE_BUILD_FUZZERS=ON -DPOKERHILFE_BUILD_TESTS=OFF -DPOKERHILFE_FUZZ_SECONDS=$(FUZZ_SECONDS)
	$(CMAKE) --build $(BUILD_DIR)/fuzz --parallel $(JOBS)
	cd $(BUILD_DIR)/fuzz && $(CTEST) --output-on-failure --parallel $(JOBS)

clean:
	rm -rf $(BUILD_DIR)

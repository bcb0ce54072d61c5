# Set-up and everyday commands over CMake. `make run` builds and starts the program;
# `make test` builds and runs every test.

BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE ?= cmake
CTEST ?= ctest

.PHONY: run test test-native clean

run:
	@$(CMAKE) -S . -B $(BUILD_DIR)/release -DCMAKE_BUILD_TYPE=Release -DPOKERHILFE_BUILD_TESTS=OFF >/dev/null
	@$(CMAKE) --build $(BUILD_DIR)/release --target pokerhilfe --parallel $(JOBS) >/dev/null
	@./$(BUILD_DIR)/release/pokerhilfe

test: test-native

test-native:
	$(CMAKE) -S . -B $(BUILD_DIR)/native -DCMAKE_BUILD_TYPE=RelWithDebInfo
	$(CMAKE) --build $(BUILD_DIR)/native --parallel $(JOBS)
	cd $(BUILD_DIR)/native && $(CTEST) --output-on-failure --parallel $(JOBS)

clean:
	rm -rf $(BUILD_DIR)

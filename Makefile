# make demo / make test do everything on a fresh Debian 12 machine.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?= -DNOISEBIND_WERROR=ON

.PHONY: all deps build demo test bench test-sanitize test-valgrind fuzz format clean

all: build

deps:
	@tools/install-deps build

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	$(BUILD)/vessa examples/demo.lua

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) build-*

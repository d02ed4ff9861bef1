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
	$(BUILD)/vessa examples/demo.lua $(BUILD)/demo.png

# The README's pictures, small enough to keep in the repository.
.PHONY: gallery
gallery: build
	$(BUILD)/vessa examples/demo.lua docs/demo.png 256
	$(BUILD)/vessa examples/planet.lua docs/planet.png 384
	$(BUILD)/vessa examples/cells.lua docs/cells.png 192
	$(BUILD)/vessa examples/marble.lua docs/marble.png 160
	$(BUILD)/vessa examples/terraces.lua docs/terraces.png 160
	$(BUILD)/vessa examples/profile.lua docs/profile.png 512
	$(BUILD)/vessa examples/primitives.lua docs/primitives.png 512

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) build-*

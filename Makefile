# make demo / make test do everything on a fresh Debian 12 machine.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?= -DNOISEBIND_WERROR=ON

.PHONY: all deps configure build demo test bench test-sanitize test-valgrind fuzz format clean

all: build

deps:
	@tools/install-deps build

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Only what the demo needs: vessa, the extension and what they link.
.PHONY: vessa
vessa: configure
	cmake --build $(BUILD) -j $(JOBS) --target vessa

demo: vessa
	$(BUILD)/vessa examples/demo.lua $(BUILD)/demo.png

# The pictures of the README and docs/, small enough to keep in the repository,
# and the gallery: docs/gallery.md, a picture and a graph file of every class.
.PHONY: gallery
gallery: vessa
	$(BUILD)/vessa examples/demo.lua docs/demo.png 256
	$(BUILD)/vessa examples/planet.lua docs/planet.png 384
	$(BUILD)/vessa examples/cells.lua docs/cells.png 192
	$(BUILD)/vessa examples/marble.lua docs/marble.png 160
	$(BUILD)/vessa examples/terraces.lua docs/terraces.png 160
	$(BUILD)/vessa examples/profile.lua docs/profile.png 512
	$(BUILD)/vessa examples/primitives.lua docs/primitives.png 512
	$(BUILD)/vessa examples/world.lua docs/world.png 512
	$(BUILD)/vessa examples/tile.lua docs/tile.png 160
	$(BUILD)/vessa examples/light.lua docs/light.png 128
	$(BUILD)/vessa examples/planet_big.lua docs/planet_big.png 512
	$(BUILD)/vessa examples/guide.lua docs 160
	$(BUILD)/vessa examples/gallery.lua docs
	cd docs && $(abspath $(BUILD))/vessa ../examples/terrain.lua

# The graph files of examples/graphs/, from the scripts that build them.
.PHONY: graphs
graphs: vessa
	$(BUILD)/vessa examples/graphs/generate.lua

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# What a call costs, side by side: the library call in a C++ loop (a), a
# hand-written Lua C function (b) and the extension through vessa (c), in
# ns per call. BENCH_FLAGS passes options, e.g. --rounds 31 --only SCurve3.
# Then the module path: the same in lua5.4 and LuaJIT through require,
# against a floor compiled for each, ending with one summary line; then the
# batch kernels and the world graph (bench-simd); whole graphs
# (bench-graphs); last the planet written as a graph file and read back
# (the `graphfile:` line).
bench: build
	$(BUILD)/bench/noisebind_bench $(BENCH_FLAGS)
	@sh bench/module_summary.sh $(BUILD) $(BENCH_FLAGS)
	$(BUILD)/bench/noisebind_simd_bench $(SIMD_BENCH_FLAGS)
	$(BUILD)/bench/noisebind_graphs_bench $(GRAPHS_BENCH_FLAGS)
	$(BUILD)/bench/noisebind_graphfile_bench

# The planet graph of examples/planet_big.lua (with libnoise's Cache modules
# on the native side), the world graph and a 6-octave Perlin plane, each
# mapped on one thread by libnoise's loop and by our map, ending with the
# `graphs:` line. GRAPHS_BENCH_FLAGS passes options, e.g. --rounds 3
# --width 256 --only planet.
.PHONY: bench-graphs
bench-graphs: build
	$(BUILD)/bench/noisebind_graphs_bench $(GRAPHS_BENCH_FLAGS)

# The batch kernels (engine/simd/) against libnoise's per-point loop on a 1024 x
# 1024 plane, per instruction set, then the world example's graph evaluated
# in blocks (engine/graph/batch/); about a minute. SIMD_BENCH_FLAGS passes
# options, e.g. --rounds 3 --only Perlin.
.PHONY: bench-simd
bench-simd: build
	$(BUILD)/bench/noisebind_simd_bench $(SIMD_BENCH_FLAGS)

# The same in instructions per call, counted by valgrind's callgrind: slow,
# but the same from run to run however busy the machine is.
.PHONY: bench-callgrind
bench-callgrind: build
	@tools/install-deps valgrind
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target noisebind_bench
	rm -f $(BUILD)/bench/callgrind.*out*
	valgrind -q --tool=callgrind --callgrind-out-file=$(BUILD)/bench/callgrind.out \
	  $(BUILD)/bench/noisebind_bench --callgrind $(BUILD)/bench/callgrind.out $(BENCH_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target noisebind_module_bench_lua5.4 noisebind_module_bench_luajit
	for lua in lua5.4 luajit; do \
	  echo; echo "== $$lua, require \"noisebind\""; \
	  valgrind -q --tool=callgrind --callgrind-out-file=$(BUILD)/bench/callgrind.$$lua.out \
	    $(BUILD)/bench/noisebind_module_bench_$$lua --callgrind $(BUILD)/bench/callgrind.$$lua.out \
	    $(BENCH_FLAGS) || exit 1; \
	done

# Everything again under AddressSanitizer and UndefinedBehaviorSanitizer,
# with vessa, the extension and the tests all instrumented.
SANITIZE_BUILD ?= build-sanitize
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) $(CMAKE_FLAGS) -DNOISEBIND_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# The load/unload cycles and a script run under valgrind's memcheck.
VALGRIND_BUILD ?= build-valgrind
test-valgrind:
	@tools/install-deps build valgrind
	cmake -S . -B $(VALGRIND_BUILD) $(CMAKE_FLAGS) -DNOISEBIND_VALGRIND=ON
	cmake --build $(VALGRIND_BUILD) -j $(JOBS)
	ctest --test-dir $(VALGRIND_BUILD) --output-on-failure -L valgrind

# Builds the script-call fuzzer, the batch-kernel fuzzer and the graph-file
# decoder's fuzzer with clang and runs each for FUZZ_SECONDS on one worker;
# new inputs go to $(FUZZ_BUILD)/corpus, $(FUZZ_BUILD)/batch_corpus and
# $(FUZZ_BUILD)/graph_corpus, findings to $(FUZZ_BUILD)/artifacts, and any
# finding fails.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz:
	@tools/install-deps build fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_FLAGS) -DNOISEBIND_SANITIZE=ON \
	  -DNOISEBIND_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target script_calls_fuzzer batch_kernels_fuzzer \
	  graph_decode_fuzzer
	mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/batch_corpus $(FUZZ_BUILD)/graph_corpus \
	  $(FUZZ_BUILD)/artifacts
	$(FUZZ_BUILD)/fuzz/script_calls_fuzzer -max_total_time=$(FUZZ_SECONDS) -timeout=10 \
	  -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/artifacts/ \
	  $(FUZZ_BUILD)/corpus fuzz/corpus
	$(FUZZ_BUILD)/fuzz/batch_kernels_fuzzer -max_total_time=$(FUZZ_SECONDS) -timeout=10 \
	  -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/artifacts/batch- \
	  $(FUZZ_BUILD)/batch_corpus fuzz/batch_corpus
	$(FUZZ_BUILD)/fuzz/graph_decode_fuzzer -max_total_time=$(FUZZ_SECONDS) -timeout=10 \
	  -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/artifacts/graph- \
	  $(FUZZ_BUILD)/graph_corpus fuzz/graph_corpus examples/graphs

# The SDK under PREFIX: vessa, the extension, the Lua modules in
# lib/lua/<version>/, the host library with its headers, pkg-config and
# CMake files.
PREFIX ?= /usr/local
.PHONY: install package test-package test-rockspec
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package of all that, for /usr, built in a folder of its own:
# $(PACKAGE_BUILD)/package/noisebind_<version>_<arch>.deb.
PACKAGE_BUILD ?= build-package
# Hardened as Debian builds its own: fortified calls, read-only relocations.
PACKAGE_HARDENING = -DCMAKE_CXX_FLAGS="-D_FORTIFY_SOURCE=2" \
  -DCMAKE_SHARED_LINKER_FLAGS="-Wl,-z,relro,-z,now" -DCMAKE_MODULE_LINKER_FLAGS="-Wl,-z,relro,-z,now" \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro,-z,now"
package: deps
	cmake -S . -B $(PACKAGE_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF $(PACKAGE_HARDENING)
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack

# Its contents, lintian's verdict, and its unpacked tree running a script.
test-package: package
	@tools/install-deps package
	sh tests/sdk/check_deb.sh $$(ls $(PACKAGE_BUILD)/package/noisebind_*.deb)

# The rockspec's own commands into temporary trees, for ROCK_LUAS.
ROCK_LUAS ?= 5.1 5.2 5.3 5.4
test-rockspec: deps
	@tools/install-deps rocks
	CMAKE_BUILD_PARALLEL_LEVEL=$(JOBS) sh tests/sdk/check_rockspec.sh $(ROCK_LUAS)

# Everything that runs on several threads, under ThreadSanitizer, in a build
# of its own (the tests labelled `threads`: states on several threads, the
# maps' workers, rendering), with the suppressions of tests/module/tsan.supp
# (see there why each is needed).
TSAN_BUILD ?= build-tsan
.PHONY: test-tsan
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) $(CMAKE_FLAGS) -DNOISEBIND_TSAN=ON
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target thread_tests vessa maps_tests render_tests \
	  simd_tests studio_tests tiles_tests
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/module/tsan.supp" \
	  ctest --test-dir $(TSAN_BUILD) --output-on-failure -j $(JOBS) -L threads

# The module in LÖVE 11 (a game under xvfb-run, Mesa's software GL) and in a
# headless Luanti 5.6 server (devtest, a trusted and an untrusted mod), each
# checked against plain luajit; the Luanti part also times maps against its
# PerlinNoiseMap (the `luanti:` line).
.PHONY: test-hosts
test-hosts: configure
	@tools/install-deps hosts
	cmake --build $(BUILD) -j $(JOBS) --target noisebind_module_5.1
	sh tests/hosts/run.sh $(BUILD)/lua/5.1

# Tile pyramids made by real schedulers, byte for byte one run's: GNU
# parallel with 7 jobs, and a one-node Slurm cluster that the test starts
# on this machine (munged, slurmctld, slurmd in a folder of its own) running
# a job array, then one task killed and requeued; about a minute.
.PHONY: test-tiles
test-tiles: configure
	@tools/install-deps tiles
	cmake --build $(BUILD) -j $(JOBS) --target noisebind_cli
	sh tests/tiles/test_tiles_schedulers.sh "$$(cd $(BUILD) && pwd)/programs/noisebind/noisebind"

# The map page of `noisebind tiles serve` (Leaflet and MapLibre, bundled by
# vite from programs/noisebind/tiles-page/package-lock.json) into
# $(BUILD)/programs/noisebind/tiles-page; then the page in headless chromium
# (Debian's, driven by playwright-core, WebGL on SwiftShader), its screenshots
# in $(BUILD)/engine/tiles/tiles-map.jpg and tiles-3d.jpg (copied by hand to
# docs/ when the page changes).
.PHONY: tiles-page test-tiles-page
tiles-page:
	@tools/install-deps tiles-page
	cd programs/noisebind/tiles-page && npm ci --no-audit --no-fund && TILES_PAGE_OUT="$$(cd ../../.. && mkdir -p $(BUILD) && cd $(BUILD) && pwd)/programs/noisebind/tiles-page" npx vite build

test-tiles-page: configure tiles-page
	cmake --build $(BUILD) -j $(JOBS) --target noisebind_cli
	sh tests/tiles/test_map_page.sh "$$(cd $(BUILD) && pwd)/programs/noisebind/noisebind" $(BUILD)/engine/tiles/tiles-map.jpg $(BUILD)/engine/tiles/tiles-3d.jpg

# The studio's page, bundled from the committed lockfile (npm ci: its only
# use of the network) into $(BUILD)/programs/studio/page, where the studio program
# finds it and `make install` takes it from.
.PHONY: studio-page test-studio
STUDIO_PAGE_OUT = $(abspath $(BUILD))/programs/studio/page
studio-page:
	@command -v npm >/dev/null 2>&1 || tools/install-deps node
	cd programs/studio/page && npm ci --no-audit --no-fund && STUDIO_PAGE_OUT=$(STUDIO_PAGE_OUT) npx vite build

# The studio in headless chromium (the page builds a graph, a tile of its
# preview matches noise.planemap in Lua, a bad Curve is shown at its node,
# saved and reloaded), its tiles against the tiles command's, then 8
# clients' 500 previews and tiles against its memory; the screenshot of the
# docs goes to $(BUILD)/programs/studio/studio.png.
test-studio: build studio-page
	@tools/install-deps studio
	node tests/studio/browser_test.mjs $(BUILD)/programs/noisebind/noisebind $(BUILD)/lua/5.4 $(BUILD)/programs/studio/studio.png
	node tests/studio/tiles_test.mjs $(BUILD)/programs/noisebind/noisebind tests/studio/values_graph.json height
	node tests/studio/load_test.mjs $(BUILD)/programs/noisebind/noisebind

# The studio's previews through HTTP from an edit of the 109-node planet to
# its first and its full picture, beside the map made directly; ends with
# the `studio:` line. STUDIO_BENCH_FLAGS passes options, e.g. --rounds 15.
.PHONY: bench-studio
bench-studio: build
	$(BUILD)/bench/noisebind_studio_bench examples/graphs/planet_big.json $(STUDIO_BENCH_FLAGS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) build-*

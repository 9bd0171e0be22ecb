# Thin wrappers over the CMake presets.
.PHONY: play build test install package bench soak fuzz clean

build:
	cmake --preset release >/dev/null
	cmake --build --preset release

play: build
	./build/release/quillmire

# Installs the game under PREFIX (and DESTDIR, when given, before it).
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install build/release --prefix "$(PREFIX)"

# A Debian package of the game, in build/release.
package: build
	cd build/release && cpack

test:
	cmake --preset test >/dev/null
	cmake --build --preset test
	ctest --preset test -j2

bench:
	cmake --preset bench >/dev/null
	cmake --build --preset bench
	./build/bench/bench/quillmire_bench --benchmark_out=build/bench.json --benchmark_out_format=json
	./scripts/bench-report build/bench.json

# The long soak: 64 seeds of 200,000 frames each, every invariant checked after every frame,
# under the sanitizers like the short one in the tests.
SOAK_SEEDS ?= 64
SOAK_FRAMES ?= 200000
soak:
	cmake --preset soak >/dev/null
	cmake --build --preset soak
	./build/soak/tests/soak/quillmire_soak --seeds $(SOAK_SEEDS) --frames $(SOAK_FRAMES) --jobs 2

# libFuzzer, built with clang: each target runs this many seconds on its seed corpus.
FUZZ_SECONDS ?= 60
fuzz:
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	bash fuzz/run_fuzz.sh $(FUZZ_SECONDS)

clean:
	rm -rf build

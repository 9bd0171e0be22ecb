# Thin wrappers over the CMake presets.
.PHONY: play build test bench clean

build:
	cmake --preset release >/dev/null
	cmake --build --preset release

play: build
	./build/release/quillmire

test:
	cmake --preset test >/dev/null
	cmake --build --preset test
	ctest --preset test -j2

bench:
	cmake --preset bench >/dev/null
	cmake --build --preset bench
	./build/bench/bench/quillmire_bench --benchmark_out=build/bench.json --benchmark_out_format=json

clean:
	rm -rf build

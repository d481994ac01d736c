# The two commands a newcomer needs:  make run   and   make test
# make bench measures accuracy, footprint and throughput (about 15 minutes; docs/benchmarks.md).
.PHONY: deps build run test bench native clean

deps:
	tools/install-deps.sh

build: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows

run: build
	tools/run.sh

test:
	tools/run-tests.sh

bench:
	bench/run-bench.sh

clean:
	rm -rf build

# The two commands a newcomer needs:  make run   and   make test
# make demo runs it against a local SNTP server; make bench measures accuracy, footprint
# and throughput (about 15 minutes; docs/benchmarks.md).
.PHONY: deps build run demo test bench clean

deps:
	tools/install-deps.sh

build: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows

run: build
	tools/run.sh

# Like run, against a local SNTP server whose clock is 2.5 s ahead (no internet needed).
demo: build
	VELMORA_DEMO=1 tools/run.sh

test:
	tools/run-tests.sh

bench:
	bench/run-bench.sh

clean:
	rm -rf build

# The two commands a newcomer needs:  make run   and   make test
# make demo runs it against a local SNTP server; make bench measures accuracy, footprint
# and throughput (about 25 minutes; docs/benchmarks.md).
# ARCH=x64 (the default: what a 64-bit Windows user installs) or ARCH=x86 (the 32-bit build,
# where this machine runs 32-bit programs) picks the build that run, demo and bench use.
ARCH ?= x64
ifeq ($(filter $(ARCH),x64 x86),)
$(error ARCH must be x64 or x86)
endif
preset_x64 := windows-x64
preset_x86 := windows

.PHONY: deps build build-x64 build-x86 run demo test bench clean

deps:
	tools/install-deps.sh

# Both Windows builds: build/windows-x64/bin and build/windows/bin, each with its installer.
build: build-x64 build-x86

build-x64 build-x86: build-%: deps
	cmake --preset $(preset_$*) >/dev/null
	cmake --build --preset $(preset_$*)

run: build-$(ARCH)
	VELMORA_ARCH=$(ARCH) tools/run.sh

# Like run, against a local SNTP server whose clock is 2.5 s ahead (no internet needed).
demo: build-$(ARCH)
	VELMORA_ARCH=$(ARCH) VELMORA_DEMO=1 tools/run.sh

test:
	tools/run-tests.sh

bench:
	VELMORA_ARCH=$(ARCH) bench/run-bench.sh

clean:
	rm -rf build

# The two commands a newcomer needs:  make run   and   make test
.PHONY: deps build run test native clean

deps:
	tools/install-deps.sh

build: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows

run: build
	tools/run.sh

test:
	tools/run-tests.sh

clean:
	rm -rf build

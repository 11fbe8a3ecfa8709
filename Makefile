# The whole set-up on a fresh Debian 12 machine is `make run` or `make test`.
JOBS ?= $(shell nproc)

.PHONY: all deps build run test test-default test-asan bench clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default -j $(JOBS)

run: build
	@echo "Built into build/bin:" && ls build/bin

test-default: build
	@ctest --preset default -j $(JOBS)

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

# The plain suite first, then the same suite under the sanitizers; CTest's
# summary line of the second run is the last thing printed.
test: test-default test-asan

bench: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)
	@build-release/bin/suitebench

clean:
	rm -rf build build-release build-asan

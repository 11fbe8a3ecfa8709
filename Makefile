# The whole set-up on a fresh Debian 12 machine is `make run` or `make test`.
JOBS ?= $(shell nproc)

.PHONY: all deps build run test check test-ci test-asan fuzz bench study clean

# ccache files its entries under paths relative to the clone, so that a fresh
# clone of the same sources finds what an earlier one compiled.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

# One target at a time: a build and a run of the same preset share its folder,
# and each cmake build already uses every core.
.NOTPARALLEL:

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default -j $(JOBS)

# The games create the notification component by name, so it is entered in a
# registry first; a game without it still starts. That registry is the build's
# own: an entry for build/bin in the player's registry would win over an
# installed copy of the component, in every game the player starts.
RUN_REGISTRY := $(CURDIR)/build/registry
run: build
	@DORVIK_REGISTRY_DIR='$(RUN_REGISTRY)' build/bin/regsvr build/bin/libtidingo.so || true
	@DORVIK_REGISTRY_DIR='$(RUN_REGISTRY)' build/bin/gridwarden

# For day-to-day work: the strict build and its tests, without fuzzing or sanitizers.
check: test-ci

# The suite as CI runs it: the same Debug build with every warning an error.
test-ci: deps
	@cmake --preset ci >/dev/null
	@cmake --build --preset ci -j $(JOBS)
	@ctest --preset ci -j $(JOBS)

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

# Every fuzz target, briefly, on a copy of its seed files; all at once, so the
# run takes FUZZ_SECONDS however many targets there are.
FUZZ_SECONDS ?= 20
fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)
	@bash tests/fuzz/run-fuzzers build-fuzz/bin $(FUZZ_SECONDS)

# The plain suite first, then the fuzz targets, then the same suite under the
# sanitizers; CTest's summary line of that last run is the last thing printed.
test: test-ci fuzz test-asan

bench: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)
	@build-release/bin/suitebench

# How many games each automatic completion wins without a guess; progress goes to
# stderr, the table to stdout. STUDY_ARGS='--games 1000' makes a shorter run.
study: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)
	@build-release/bin/strengthstudy $(STUDY_ARGS)

clean:
	rm -rf build build-ci build-release build-asan build-fuzz

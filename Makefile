# Vantaro: `make run` starts the program, `make test` runs every suite,
# `make bench` runs the benchmarks. Each installs missing Debian packages first.

SHELL := /bin/bash
JOBS  ?= $(shell nproc)

WIN_BUILD        := build/win
NATIVE_BUILD     := build/native
NATIVE_SAN_BUILD := build/native-asan
BENCH_BUILD      := build/bench
FUZZ_BUILD       := build/fuzz
FUZZ_SECONDS     ?= 60

.PHONY: run test bench fuzz crash-trials mutation deps build build-win build-native build-native-asan build-bench wineprefix clean

run: deps build-win
	@scripts/run.sh $(WIN_BUILD)

test: deps build-native build-native-asan build-win wineprefix
	@scripts/test.sh $(NATIVE_BUILD) $(NATIVE_SAN_BUILD) $(WIN_BUILD)

bench: deps build-bench build-win
	@scripts/bench.sh $(BENCH_BUILD) $(WIN_BUILD)

deps:
	@scripts/install-deps.sh

build: build-win build-native

build-win:
	@test -f $(WIN_BUILD)/build.ninja || cmake -S . -B $(WIN_BUILD) -G Ninja \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(WIN_BUILD) -j $(JOBS) -- -k 0 all all_tests

build-native:
	@test -f $(NATIVE_BUILD)/build.ninja || cmake -S . -B $(NATIVE_BUILD) -G Ninja \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(NATIVE_BUILD) -j $(JOBS) -- all all_tests

build-native-asan:
	@test -f $(NATIVE_SAN_BUILD)/build.ninja || cmake -S . -B $(NATIVE_SAN_BUILD) -G Ninja \
	  -DCMAKE_BUILD_TYPE=Debug -DVANTARO_SANITIZE=ON >/dev/null
	@cmake --build $(NATIVE_SAN_BUILD) -j $(JOBS) -- all all_tests

build-bench:
	@test -f $(BENCH_BUILD)/build.ninja || cmake -S . -B $(BENCH_BUILD) -G Ninja \
	  -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS)

# libFuzzer on the volume mount path (clang, with the sanitizers); new
# findings worth keeping go into tests/cedb/fuzz_corpus, which `make test` replays.
fuzz: deps
	@test -f $(FUZZ_BUILD)/build.ninja || CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja \
	  -DCMAKE_BUILD_TYPE=Debug -DVANTARO_SANITIZE=ON -DVANTARO_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target cedb_mount_fuzz
	@mkdir -p $(FUZZ_BUILD)/corpus
	$(FUZZ_BUILD)/tests/cedb/cedb_mount_fuzz -max_total_time=$(FUZZ_SECONDS) $(FUZZ_BUILD)/corpus tests/cedb/fuzz_corpus

# Crash trials, long: VOLUME_TRIALS kills and power losses of the database
# service's writer, then TRIALS kills of the real program, all from SEED (a
# seed reproduces its run); `make test` runs a few of each from fixed seeds.
VOLUME_TRIALS ?= 100000
TRIALS ?= 1000
ifndef SEED
SEED := $(shell date +%s)
endif
crash-trials: deps build-native build-win wineprefix
	@echo "crash trials: VOLUME_TRIALS=$(VOLUME_TRIALS) TRIALS=$(TRIALS) SEED=$(SEED)"
	@$(NATIVE_BUILD)/tests/cedb/volume_crash_test --trials $(VOLUME_TRIALS) --seed $(SEED) --jobs $(JOBS)
	@VANTARO_KILL_TRIALS=$(TRIALS) VANTARO_KILL_SEED=$(SEED) \
	  scripts/with-xvfb.sh $(WIN_BUILD)/wine-exec.sh $(WIN_BUILD)/tests/shell/shell_kill_test.exe

# Planted faults, one at a time, against the suites that cover each module;
# long, so outside `make test`. MUTATION_ARGS picks modules, seed and count.
MUTATION_ARGS ?= --seed 1 --count 40
mutation: deps
	@nice -n 10 scripts/mutation.py $(MUTATION_ARGS)

wineprefix: build-win
	@scripts/wineprefix.sh $(CURDIR)/$(WIN_BUILD)/wineprefix --isolated

clean:
	rm -rf build

# The whole set-up on a fresh machine: `make run` and `make check`.
SHELL := /bin/bash
JOBS  ?= $(shell nproc)

CHECK_DIR   := build/check
RELEASE_DIR := build/release
FUZZ_DIR    := build/fuzz
COVER_DIR   := build/coverage
# How long `make fuzz` runs each fuzzer: make fuzz FUZZ_SECONDS=600
FUZZ_SECONDS ?= 60
SAMPLE      := samples/sample.bmp
VIEWER      := $(RELEASE_DIR)/app/pixmora

.PHONY: all deps release run check coverage bench fuzz fuzz-build fuzz-replay package screenshot format clean

all: check

deps:
	@scripts/install-deps

# Sanitized debug build with every test; this is what CI runs.
check: deps
	cmake -S . -B $(CHECK_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPIXMORA_SANITIZE=ON
	cmake --build $(CHECK_DIR) -j $(JOBS)
	ctest --test-dir $(CHECK_DIR) --output-on-failure -j $(JOBS)

# Line and branch coverage of the product code by every test, per folder, from
# a build without sanitizers; build/coverage/index.html has it file by file.
coverage: deps
	cmake -S . -B $(COVER_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPIXMORA_BENCH=OFF \
		-DCMAKE_CXX_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage
	find $(COVER_DIR) -name '*.gcda' -delete
	cmake --build $(COVER_DIR) -j $(JOBS)
	ctest --test-dir $(COVER_DIR) -j $(JOBS) --output-on-failure
	scripts/coverage $(COVER_DIR)

release: deps
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPIXMORA_TESTS=OFF
	cmake --build $(RELEASE_DIR) -j $(JOBS)

run: release
	$(VIEWER) $(SAMPLE)

# The Debian package, from the release tree: $(RELEASE_DIR)/package/pixmora_VERSION_amd64.deb.
package: release
	cmake --build $(RELEASE_DIR) --target package

# docs/screenshot.png, the viewer on samples/sample.bmp, taken on a virtual X screen.
screenshot: release
	scripts/screenshot $(VIEWER) docs/screenshot.png

# Every figure with its ratio to its target or yardstick; each program and
# script ends with its own summary.
bench: release
	@for b in $(RELEASE_DIR)/bench/pixmora_bench_*; do \
		case "$$b" in *_churn) continue ;; esac; \
		[ -x "$$b" ] && "$$b" --benchmark_counters_tabular=true; \
	done
	@bench/memory.sh $(RELEASE_DIR) || echo "bench: a memory target was missed"
	@bench/startup.sh $(RELEASE_DIR)/app/pixmora || echo "bench: start-up could not be measured"

# The libFuzzer targets, built by clang in a tree of their own; the
# regression inputs are replayed before any new fuzzing.
fuzz-build: deps
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_COMPILER=clang++ -DPIXMORA_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS)

fuzz-replay: fuzz-build
	scripts/fuzz replay $(FUZZ_DIR)

fuzz: fuzz-replay
	scripts/fuzz run $(FUZZ_SECONDS) $(FUZZ_DIR)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build

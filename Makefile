# The whole set-up on a fresh machine: `make run` and `make check`.
SHELL := /bin/bash
JOBS  ?= $(shell nproc)

CHECK_DIR   := build/check
RELEASE_DIR := build/release
SAMPLE      := samples/sample.bmp
VIEWER      := $(RELEASE_DIR)/app/pixmora

.PHONY: all deps release run check bench package screenshot format clean

all: check

deps:
	@scripts/install-deps

# Sanitized debug build with every test; this is what CI runs.
check: deps
	cmake -S . -B $(CHECK_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPIXMORA_SANITIZE=ON
	cmake --build $(CHECK_DIR) -j $(JOBS)
	ctest --test-dir $(CHECK_DIR) --output-on-failure -j $(JOBS)

release: deps
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPIXMORA_TESTS=OFF
	cmake --build $(RELEASE_DIR) -j $(JOBS)

run: release
	@if [ -x $(VIEWER) ]; then \
		$(VIEWER) $(SAMPLE); \
	else \
		echo "Pixmora's libraries are built; the viewer window comes in a later step."; \
	fi

# The Debian package, from the release tree: $(RELEASE_DIR)/package/pixmora_VERSION_amd64.deb.
package: release
	cmake --build $(RELEASE_DIR) --target package

# docs/screenshot.png, the viewer on samples/sample.bmp, taken on a virtual X screen.
screenshot: release
	scripts/screenshot $(VIEWER) docs/screenshot.png

bench: release
	@for b in $(RELEASE_DIR)/bench/pixmora_bench_*; do \
		[ -x "$$b" ] && "$$b" --benchmark_counters_tabular=true; \
	done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build

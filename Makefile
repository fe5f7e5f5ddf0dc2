# The two commands a person needs: `make run` and `make test`.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
BUILD_DEBUG := build/debug
BUILD_RELEASE := build/release
CMAKE_COMMON := -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON

.PHONY: run test bench build-debug build-release build-bench clean format check

# Each command installs only the packages it needs (see scripts/deps).
build-release:
	@scripts/deps run
	@cmake -S . -B $(BUILD_RELEASE) $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DKIVOTAB_TESTS=OFF -DKIVOTAB_BENCH=OFF >/dev/null
	@cmake --build $(BUILD_RELEASE) -j $(JOBS)

build-bench:
	@scripts/deps bench
	@cmake -S . -B $(BUILD_RELEASE) $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DKIVOTAB_TESTS=OFF -DKIVOTAB_BENCH=ON >/dev/null
	@cmake --build $(BUILD_RELEASE) -j $(JOBS)

build-debug:
	@scripts/deps test
	@cmake -S . -B $(BUILD_DEBUG) $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Debug \
		-DKIVOTAB_SANITIZE=ON -DKIVOTAB_WERROR=ON -DKIVOTAB_SHARED_LAYERS=ON >/dev/null
	@cmake --build $(BUILD_DEBUG) -j $(JOBS)

run: build-release
	@$(BUILD_RELEASE)/app/kivotab

test: build-debug
	@cd $(BUILD_DEBUG) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build-bench
	@set -e; for b in $(BUILD_RELEASE)/bench/bench_*; do \
		[ -f "$$b" ] && [ -x "$$b" ] || continue; echo "== $$(basename $$b)"; "$$b"; done; \
	for s in bench/*.sh; do [ -x "$$s" ] || continue; echo "== $$s"; "$$s" $(BUILD_RELEASE); done

format:
	@find app src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

# What CI checks besides the tests: the include rule between layers and the formatting.
check:
	@scripts/check-layers
	@find app src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run -Werror

clean:
	@rm -rf build

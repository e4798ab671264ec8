# Brenvik: the two commands (and a few more). Each target installs the Debian
# packages it needs when they are missing: with apt-get when run as root,
# otherwise it names them and stops.

SHELL := /bin/bash
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

PACKAGES := g++ clang cmake ninja-build pkg-config make \
	libgtest-dev libgmock-dev libbenchmark-dev \
	libsdl2-dev libcairo2-dev libfreetype-dev libpng-dev libjpeg-dev libgif-dev \
	libzip-dev libssl-dev nlohmann-json3-dev libsystemd-dev fonts-liberation2 \
	zip unzip attr dbus-daemon xvfb xauth xdotool clang-format

.PHONY: all deps build check check-format check-asan check-tsan demo bench fuzz format clean

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
		if [ "$$(id -u)" = 0 ]; then \
			echo "Installing: $$missing"; \
			export DEBIAN_FRONTEND=noninteractive; \
			apt-get update -qq && apt-get install -y -qq --no-install-recommends $$missing >/dev/null || exit 1; \
		else \
			echo "Missing Debian packages: $$missing"; \
			echo "Install them with: sudo apt-get install $$missing"; \
			exit 1; \
		fi; \
	fi

build/build.ninja: CMakeLists.txt | deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps build/build.ninja
	cmake --build build -j $(JOBS)

check: check-format build
	cd build && ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory check-asan check-tsan

# Everything built with clang under AddressSanitizer + UndefinedBehaviorSanitizer;
# the tests of parsers of untrusted bytes run there.
check-asan: deps
	CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
		-DBRENVIK_SANITIZE=address $(CMAKE_FLAGS)
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ctest --output-on-failure -j $(JOBS) -L asan

# Loopers, messengers and worker threads under ThreadSanitizer.
check-tsan: deps
	cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRENVIK_SANITIZE=thread $(CMAKE_FLAGS)
	cmake --build build-tsan -j $(JOBS)
	cd build-tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/support/tsan.supp" ctest --output-on-failure -j $(JOBS) -L tsan

check-format: deps
	@files=$$(git ls-files '*.cpp' '*.h' 2>/dev/null); \
	if [ -n "$$files" ]; then clang-format --dry-run -Werror $$files; fi

format:
	git ls-files '*.cpp' '*.h' | xargs -r clang-format -i

demo: build
	./examples/demo.sh

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRENVIK_BENCH=ON -DBRENVIK_WERROR=OFF $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/*; do echo "== $$b"; "$$b" || exit 1; done

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DBRENVIK_FUZZ=ON -DBRENVIK_SANITIZE=address $(CMAKE_FLAGS)
	cmake --build build-fuzz -j $(JOBS) --target all_fuzzers
	build-fuzz/fuzz/zip_fuzz_seeds build-fuzz/fuzz/seeds/ZipExtractorFuzz
	@echo "Fuzz targets are in build-fuzz/fuzz/; run one with: build-fuzz/fuzz/<name> -max_total_time=60"
	@echo "The extractor's, with its seeds: mkdir -p build-fuzz/fuzz/corpus && build-fuzz/fuzz/fuzz_ZipExtractorFuzz build-fuzz/fuzz/corpus build-fuzz/fuzz/seeds/ZipExtractorFuzz -max_total_time=300"

clean:
	rm -rf build build-asan build-tsan build-bench build-fuzz

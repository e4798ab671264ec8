# Brenvik: the two commands (and a few more). Each target installs the Debian
# packages it needs when they are missing: with apt-get when run as root,
# otherwise it names them and stops. The -dev packages also bring the static
# archives (libcairo.a, libpixman-1.a, libfontconfig.a, libexpat.a,
# libfreetype.a, libbrotlidec.a, libbz2.a, libpng16.a, libz.a, libjpeg.a,
# libgif.a, libcrypto.a, libdeflate.a) that the installer and the
# de-installer are linked with (BRENVIK_STATIC); binutils' objdump checks
# what they ask of the C library.

SHELL := /bin/bash
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

PACKAGES := g++ clang cmake ninja-build pkg-config make \
	libgtest-dev libgmock-dev libbenchmark-dev \
	libsdl2-dev libcairo2-dev libfreetype-dev libpng-dev libjpeg-dev libgif-dev \
	libzip-dev libssl-dev libsodium-dev nlohmann-json3-dev libsystemd-dev fonts-liberation2 \
	libpixman-1-dev libfontconfig-dev libexpat1-dev libbrotli-dev libbz2-dev zlib1g-dev libdeflate-dev \
	binutils \
	python3 zip unzip attr dbus-daemon xvfb xauth xdotool clang-format clang-tidy ansible-core

.PHONY: all deps build check check-format check-tidy check-asan check-tsan demo bench fuzz format clean

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

# Every build folder is configured through its preset in CMakePresets.json, the
# one place that says how each kind of build is made (compiler, build type,
# sanitizer); CMAKE_FLAGS adds to it.
build/build.ninja: CMakeLists.txt | deps
	cmake --preset default $(CMAKE_FLAGS)

build: deps build/build.ninja
	cmake --build build -j $(JOBS)

check: check-format build check-tidy
	ctest --preset default -j $(JOBS)
	$(MAKE) --no-print-directory check-asan check-tsan

# Everything built with clang under AddressSanitizer + UndefinedBehaviorSanitizer;
# the tests of parsers of untrusted bytes run there.
check-asan: deps
	cmake --preset asan $(CMAKE_FLAGS)
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

# Loopers, messengers and worker threads under ThreadSanitizer.
check-tsan: deps
	cmake --preset tsan $(CMAKE_FLAGS)
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan -j $(JOBS)

# clang-tidy (.clang-tidy) on the C++ files changed since this branch left
# main, or, on main itself, on those of the last commit. TIDY_FILES names
# other files; TIDY_FILES=all checks the whole tree.
TIDY_BASE ?= $(shell git rev-parse -q --verify origin/main >/dev/null && echo origin/main || echo main)
check-tidy: deps build/build.ninja
	cmake/check-tidy.sh build $(JOBS) $(TIDY_BASE) $(TIDY_FILES)

check-format: deps
	@files=$$(git ls-files '*.cpp' '*.h' 2>/dev/null); \
	if [ -n "$$files" ]; then clang-format --dry-run -Werror $$files; fi

format:
	git ls-files '*.cpp' '*.h' | xargs -r clang-format -i

demo: build
	./examples/demo.sh

bench: deps
	cmake --preset bench $(CMAKE_FLAGS)
	cmake --build --preset bench -j $(JOBS)
	@for b in build-bench/bench/*; do echo "== $$b"; "$$b" || exit 1; done

fuzz: deps
	cmake --preset fuzz $(CMAKE_FLAGS)
	cmake --build --preset fuzz -j $(JOBS)
	build-fuzz/fuzz/zip_fuzz_seeds build-fuzz/fuzz/seeds/ZipExtractorFuzz
	@echo "Fuzz targets are in build-fuzz/fuzz/; run one with: build-fuzz/fuzz/<name> -max_total_time=60"
	@echo "The extractor's, with its seeds: mkdir -p build-fuzz/fuzz/corpus && build-fuzz/fuzz/fuzz_ZipExtractorFuzz build-fuzz/fuzz/corpus build-fuzz/fuzz/seeds/ZipExtractorFuzz -max_total_time=300"
	@echo "The removal's, on mutated install records (it makes its own installation): mkdir -p build-fuzz/fuzz/records && build-fuzz/fuzz/fuzz_InstallRemovalFuzz build-fuzz/fuzz/records -max_total_time=300"

clean:
	rm -rf build build-asan build-tsan build-bench build-fuzz build-clang

# SPDX-License-Identifier: MIT
# Two commands do everything on a fresh Debian 12 machine:
#   make run    install what is missing, build, open the window
#   make test   install what is missing, build, run every test headless, build and try the package
#   make check  the everyday loop: one build, the model and Qt tests, format, licences, layers
# The set-up only asks dpkg when everything is installed; apt-get runs only for what is missing.
BUILD    ?= build
ASAN     ?= build-asan
DEB_BUILD ?= build-deb
CLANG_BUILD ?= build-clang
WIN_BUILD ?= build-win
WEB_BUILD ?= build-web
JOBS     ?= $(shell nproc)
# ccache, where installed, keeps rebuilds of unchanged sources (a fresh clone, another build
# folder, a branch switched back) from compiling again.
# Paths below the source folder are hashed as relative ones, so a clone in another folder finds
# what this one compiled.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1
SECONDS_PER_FUZZER ?= 60

.PHONY: run test check setup build check-format check-spdx check-tidy check-layers check-packages test-build \
        build-clang test-clang test-asan test-package deb fuzz bench clean windows test-windows web \
        test-web bench-web

setup:
	./scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSABROTA_WERROR=ON $(LAUNCHER)
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/bin/sabrota

# clang-format and clang-tidy by their versioned names: another version formats and checks
# differently.
check-format: setup
	@files=$$(git ls-files '*.cpp' '*.h'); \
	if ! clang-format-14 --dry-run --Werror $$files; then \
	  echo "clang-format-14 would change the files above: run clang-format-14 -i on them"; exit 1; fi

check-spdx:
	./scripts/spdx.sh --check

# The checks named in .clang-tidy over every source file of src/ and the headers it includes,
# with the clang build's compile database (which names the Qt sources' generated includes, so
# the build comes first).
check-tidy: build-clang
	run-clang-tidy-14 -clang-tidy-binary clang-tidy-14 -p $(CLANG_BUILD) -j$(JOBS) -quiet \
	  -header-filter='^$(CURDIR)/src/' '^$(CURDIR)/src/'

check-layers:
	./scripts/check_layers.sh

# The README lists the packages the set-up installs; the two lists must not drift apart.
check-packages:
	@readme=$$(sed -n 's/^| `\([a-z0-9.+-]*\)` |.*/\1/p' README.md | sort); \
	setup=$$(./scripts/setup.sh --list | sort); \
	if [ "$$readme" != "$$setup" ]; then \
	  echo "README.md's package table and scripts/setup.sh differ:"; \
	  echo "  README.md: "$$readme; echo "  setup.sh:  "$$setup; exit 1; fi

test-build: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# The whole program, the Qt window included, built by clang in a folder of its own and tested.
build-clang: setup
	CC=clang CXX=clang++ cmake -S . -B $(CLANG_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DSABROTA_WERROR=ON $(LAUNCHER)
	cmake --build $(CLANG_BUILD) -j$(JOBS)

test-clang: build-clang
	cd $(CLANG_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

test-asan: setup
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DSABROTA_SANITIZE=ON -DSABROTA_WERROR=ON \
	  -DSABROTA_BENCH=OFF $(LAUNCHER)
	cmake --build $(ASAN) -j$(JOBS)
	cd $(ASAN) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j$(JOBS)

fuzz: setup
	./scripts/fuzz.sh $(SECONDS_PER_FUZZER)

# The Debian package, built as Debian builds packages: its own build folder, Debian's
# hardening flags, no tests.
# Named after the project's version, which cpack reads from CMakeLists.txt.
# Reproducible: every file time in the package is clamped to the last commit's time (else to
# the packaging changelog's date, in a tree without git), so two builds of one tree are the
# same bytes.
DEB_FILE = $(firstword $(wildcard $(DEB_BUILD)/sabrota_*-1_*.deb))
GIT_EPOCH = $(shell git log -1 --format=%ct 2>/dev/null)
CHANGELOG_EPOCH = $(shell dpkg-parsechangelog -l packaging/changelog -STimestamp 2>/dev/null)
SOURCE_DATE_EPOCH ?= $(or $(GIT_EPOCH),$(CHANGELOG_EPOCH))
deb: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
deb: export SOURCE_DATE_EPOCH := $(SOURCE_DATE_EPOCH)
deb: export QT_RCC_SOURCE_DATE_OVERRIDE := $(SOURCE_DATE_EPOCH)
deb: setup
	cmake -S . -B $(DEB_BUILD) -DCMAKE_BUILD_TYPE=None -DSABROTA_WERROR=ON \
	  -DSABROTA_TESTS=OFF -DSABROTA_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)"
	cmake --build $(DEB_BUILD) -j$(JOBS)
	cd $(DEB_BUILD) && cpack -G DEB
	@ls $(DEB_BUILD)/sabrota_*-1_*.deb

# The package as a user meets it: lintian, then the installed program run offscreen as an
# unprivileged user with a fresh home, driven by a plugin from the normal build.
test-package: build deb
	tests/package/package_test.sh $(DEB_FILE) $(BUILD)/tests/package/libsabrota_drive.so \
	  tests/data/csv_c_26.csv
	SOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH) QT_RCC_SOURCE_DATE_OVERRIDE=$(SOURCE_DATE_EPOCH) \
	  tests/package/reproducible_test.sh $(DEB_BUILD)

# The Windows program, cross-built with mingw-w64: build-win/sabrota.exe and the portable zip.
windows: setup
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DSABROTA_WERROR=ON -DSABROTA_BENCH=OFF $(LAUNCHER)
	cmake --build $(WIN_BUILD) -j$(JOBS)
	@ls $(WIN_BUILD)/sabrota.exe $(WIN_BUILD)/sabrota-*-win64.zip

# Under Wine: the model tests, the Windows services' tests, the exe's imports and a GUI run.
test-windows: windows
	cd $(WIN_BUILD) && ctest --output-on-failure

# The everyday loop, for a change to the model, the binder or the Qt window: the one GCC build
# and its model and Qt tests, without the runs that drive a screen reader on a private display,
# and the format, licence-line and layer checks. make test remains the whole check.
check: setup check-format check-spdx check-layers check-packages build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS) -LE xvfb

# WebAssembly with Debian's emscripten: the model and its tests for node, the platform of the
# browser front end. emscripten's optimizer finds its JavaScript modules through NODE_PATH.
web: export NODE_PATH := /usr/share/nodejs
web: setup
	emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release -DSABROTA_GUI=OFF \
	  -DSABROTA_BENCH=OFF -DSABROTA_WERROR=ON $(LAUNCHER)
	cmake --build $(WEB_BUILD) -j$(JOBS)

# The model tests compiled to WebAssembly, run under node.
test-web: web
	cd $(WEB_BUILD) && ctest --output-on-failure

test: setup check-format check-spdx check-layers check-packages test-build test-clang check-tidy \
      test-package test-windows test-web test-asan fuzz

# The browser page's figures, each beside its baseline: the long run natively and under node,
# then the page in headless Chromium (docs/performance.md).
bench-web: web
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release $(LAUNCHER)
	cmake --build build-bench -j$(JOBS) --target sabrota_list_timing
	/usr/bin/python3 bench/web/list_ratio.py build-bench/bench/web/sabrota_list_timing \
	  $(WEB_BUILD)/bench/web/sabrota_list_timing.js
	/usr/bin/python3 bench/web/page_timing.py $(WEB_BUILD)/sabrota.html

# Medians of BENCH_REPETITIONS repetitions, interleaved at random so that a slow moment of the
# machine does not fall on one benchmark only; then every ratio against its plain baseline.
BENCH_REPETITIONS ?= 9
BENCH_FLAGS = --benchmark_repetitions=$(BENCH_REPETITIONS) --benchmark_report_aggregates_only=true \
  --benchmark_enable_random_interleaving=true --benchmark_out_format=json

bench: setup
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release
	cmake --build build-bench -j$(JOBS)
	build-bench/bench/sabrota_bench $(BENCH_FLAGS) --benchmark_out=build-bench/model_bench.json
	@rm -f build-bench/qt_bench.json
	@if [ -x build-bench/bench/qt/sabrota_qt_bench ]; then \
	  if command -v Xvfb >/dev/null; then \
	    bench/qt/startup_xvfb.sh build-bench $(BENCH_FLAGS) --benchmark_out=build-bench/qt_bench.json; \
	  else \
	    QT_QPA_PLATFORM=offscreen build-bench/bench/qt/sabrota_qt_bench $(BENCH_FLAGS) \
	      --benchmark_out=build-bench/qt_bench.json; \
	  fi; \
	fi
	@if command -v python3 >/dev/null; then \
	  python3 scripts/bench_ratios.py build-bench/model_bench.json \
	    $$([ -f build-bench/qt_bench.json ] && echo build-bench/qt_bench.json); \
	else echo "The ratios are worked out by python3, which is not installed."; fi

clean:
	rm -rf $(BUILD) $(ASAN) $(DEB_BUILD) $(CLANG_BUILD) $(WIN_BUILD) $(WEB_BUILD) build-bench \
	  build-fuzz

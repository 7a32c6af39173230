# Two commands do everything on a fresh Debian 12 machine:
#   make run    install what is missing, build, open the window
#   make test   install what is missing, build, run every test headless, build and try the package
# The set-up only asks dpkg when everything is installed; apt-get runs only for what is missing.
BUILD    ?= build
ASAN     ?= build-asan
DEB_BUILD ?= build-deb
WIN_BUILD ?= build-win
JOBS     ?= $(shell nproc)
SECONDS_PER_FUZZER ?= 60

.PHONY: run test setup build check-format check-layers check-packages test-build test-asan test-package \
        deb fuzz bench clean windows test-windows

setup:
	./scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSABROTA_WERROR=ON
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/bin/sabrota

check-format:
	@files=$$(git ls-files '*.cpp' '*.h'); \
	if ! clang-format --dry-run --Werror $$files; then \
	  echo "clang-format would change the files above: run clang-format -i on them"; exit 1; fi

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

test-asan: setup
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DSABROTA_SANITIZE=ON -DSABROTA_WERROR=ON \
	  -DSABROTA_BENCH=OFF
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
DEB_FILE = $(firstword $(wildcard $(DEB_BUILD)/sabrota_*-1_*.deb))
deb: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
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

# The Windows program, cross-built with mingw-w64: build-win/sabrota.exe and the portable zip.
windows: setup
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DSABROTA_WERROR=ON -DSABROTA_BENCH=OFF
	cmake --build $(WIN_BUILD) -j$(JOBS)
	@ls $(WIN_BUILD)/sabrota.exe $(WIN_BUILD)/sabrota-*-win64.zip

# Under Wine: the model tests, the Windows services' tests, the exe's imports and a GUI run.
test-windows: windows
	cd $(WIN_BUILD) && ctest --output-on-failure

test: setup check-format check-layers check-packages test-build test-package test-asan fuzz \
      test-windows

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
	rm -rf $(BUILD) $(ASAN) $(DEB_BUILD) $(WIN_BUILD) build-bench build-fuzz

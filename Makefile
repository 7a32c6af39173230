# Two commands do everything on a fresh Debian 12 machine:
#   make run    install what is missing, build, open the window
#   make test   install what is missing, build, run every test headless
BUILD    ?= build
ASAN     ?= build-asan
JOBS     ?= $(shell nproc)
SECONDS_PER_FUZZER ?= 60

.PHONY: run test setup build check-format check-layers test-build test-asan fuzz bench clean

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

test: setup check-format check-layers test-build test-asan fuzz

bench: setup
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release
	cmake --build build-bench -j$(JOBS)
	build-bench/bench/sabrota_bench
	@if [ -x build-bench/bench/qt/sabrota_qt_bench ]; then \
	  QT_QPA_PLATFORM=offscreen build-bench/bench/qt/sabrota_qt_bench; fi
	@python3 scripts/baseline.py || true

clean:
	rm -rf $(BUILD) $(ASAN) build-bench build-fuzz

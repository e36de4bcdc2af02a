# The two commands of the README: `make run` builds and starts Plumet, `make test` builds
# and runs every test. Both install the Debian packages they need first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= 2
TSAN_DIR ?= build-tsan
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
WINDOWS_DIR ?= build-windows
# Each build compiles its sources in batches of sixteen, one compiler run a batch: the headers
# are read once a batch, which makes a fresh build about three times quicker. Configure with
# UNITY=-DCMAKE_UNITY_BUILD=OFF for builds that recompile one file at a time.
UNITY ?= -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=16
# The Windows build caches compiles when ccache is there, as the sessions' builds do.
CCACHE := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
	-DCMAKE_C_COMPILER_LAUNCHER=ccache)

.PHONY: all deps configure build run test test-threads test-memory test-fuzz test-windows \
	windows windows-package bench package clean format

all: build

deps:
	./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(UNITY)

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	./$(BUILD_DIR)/src/app/plumet $(ARGS)

# Every test in the normal build (the fuzzers' corpora replayed too), then under the
# sanitizers. The timed fuzzing runs are `make test-fuzz`, which CI runs after this.
test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)
	$(MAKE) test-memory
	$(MAKE) test-threads
	$(MAKE) test-windows

# Every core, platform and command-line test under AddressSanitizer and
# UndefinedBehaviorSanitizer: any report fails.
test-memory: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(UNITY) \
		-DPLUMET_SANITIZE=address,undefined -DPLUMET_BUILD_GUI=OFF -DPLUMET_BUILD_BENCH=OFF
	cmake --build $(ASAN_DIR) -j$(JOBS)
	cd $(ASAN_DIR) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j$(JOBS)

# The scan's worker, hand-off and cancel tests under ThreadSanitizer: any report fails.
test-threads: deps
	cmake -S . -B $(TSAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(UNITY) -DPLUMET_SANITIZE=thread \
		-DPLUMET_BUILD_GUI=OFF -DPLUMET_BUILD_BENCH=OFF
	cmake --build $(TSAN_DIR) -j$(JOBS) --target scan_tests
	TSAN_OPTIONS=halt_on_error=1 ./$(TSAN_DIR)/tests/scan_tests

# Every reader of outside bytes under libFuzzer with ASan and UBSan, FUZZ_SECONDS each, from
# its corpus in tests/fuzz/corpus: a crash fails, its input kept in $(FUZZ_DIR)/crashes/.
test-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLUMET_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j$(JOBS)
	./scripts/run-fuzzers $(FUZZ_DIR) $(FUZZ_SECONDS)

# 64-bit Windows, cross-built: the programs in $(WINDOWS_DIR)/bin. zlib, utf8proc and TagLib
# are built from Debian's source packages once, into a cache outside the tree.
windows: deps
	mkdir -p $(WINDOWS_DIR)
	./scripts/build-windows-libs > $(WINDOWS_DIR)/windows-libs.txt
	cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
		-DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(UNITY) $(CCACHE) \
		-DPLUMET_WINDOWS_PREFIXES="$$(cat $(WINDOWS_DIR)/windows-libs.txt)" \
		-DPLUMET_LINUX_CLI=$(CURDIR)/$(BUILD_DIR)/src/cli/plumet-cli
	cmake --build $(WINDOWS_DIR) -j$(JOBS)

# The Windows build's tests under Wine, in a Wine prefix of the build folder's own; the
# installer's test installs the package built first.
test-windows: windows-package
	cd $(WINDOWS_DIR) && ctest --output-on-failure -j$(JOBS)

# The installer, $(WINDOWS_DIR)/Plumet-VERSION-setup.exe (NSIS; /S installs silently), and a
# zip of the same programs for those who do not install.
windows-package: windows
	cmake --build $(WINDOWS_DIR) --target windows_package

bench: build
	./bench/run-catalog-bench $(BUILD_DIR)
	./bench/run-scan-bench $(BUILD_DIR)
	./bench/run-tag-bench $(BUILD_DIR)
	./bench/run-export-bench $(BUILD_DIR)
	cmake --build $(BUILD_DIR) --target browse_bench
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/bench/browse_bench
	cmake --build $(BUILD_DIR) --target window_bench
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/bench/window_bench
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/bench/window_bench --fields
	./bench/run-update-bench $(BUILD_DIR)
	cmake --build $(BUILD_DIR) --target volumes_bench
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/bench/volumes_bench
	$(MAKE) windows
	./bench/run-windows-open-bench $(BUILD_DIR)

# The Debian package for /usr: $(BUILD_DIR)/plumet_VERSION_ARCH.deb.
package: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(BUILD_DIR) -j$(JOBS)
	cd $(BUILD_DIR) && cpack -G DEB

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(TSAN_DIR) $(ASAN_DIR) $(FUZZ_DIR) $(WINDOWS_DIR)

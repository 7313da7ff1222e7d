# `make test-asan`: the whole project (logic, Qt shell, simulator, every test)
# built with AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer,
# the whole ctest suite run on it, then a short run of each fuzz target
# (mk/fuzz.mk). Undefined behaviour is fatal, so it fails the test that hit it.
ASAN_DIR     ?= build-asan
ASAN_CC      ?= clang
ASAN_CXX     ?= clang++
# Tests on real sockets and child processes run several times slower under
# the sanitizers than in the plain build.
ASAN_TIMEOUT ?= 600
# The chaos run of the window (tests/system/chaos) is longer here: the sanitizers
# are what sees a use after free that happens to do no harm in the plain build.
ASAN_CHAOS_SECONDS ?= 120

SANITIZE_FLAGS := -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined

# The sanitizers' run-time settings, for the tests and for everything they
# start (the program, the simulator). Leak reports from third-party libraries
# only are suppressed, by tools/sanitizers/lsan.supp.
SANITIZE_ENV := \
	ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:check_initialization_order=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tools/sanitizers/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: build-asan test-asan

$(ASAN_DIR)/CMakeCache.txt: mk/sanitize.mk
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug \
		-DCMAKE_C_COMPILER=$(ASAN_CC) -DCMAKE_CXX_COMPILER=$(ASAN_CXX) \
		-DCMAKE_C_FLAGS="-O1 $(SANITIZE_FLAGS)" -DCMAKE_CXX_FLAGS="-O1 $(SANITIZE_FLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE_FLAGS)" \
		-DQUILLSTONE_WERROR=$(WERROR) -DQUILLSTONE_WITH_BENCH=OFF \
		-DQUILLSTONE_CHAOS_SECONDS=$(ASAN_CHAOS_SECONDS)

# Test discovery runs the test executables while building, so they already
# run under the sanitizers' settings here.
build-asan: deps $(ASAN_DIR)/CMakeCache.txt
	$(SANITIZE_ENV) QT_QPA_PLATFORM=offscreen cmake --build $(ASAN_DIR) -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_DIR) && $(SANITIZE_ENV) QT_QPA_PLATFORM=offscreen \
		ctest --output-on-failure -j $(JOBS) --timeout $(ASAN_TIMEOUT)
	$(MAKE) --no-print-directory fuzz-smoke

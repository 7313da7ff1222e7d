# `make fuzz`: the libFuzzer targets of tests/system/fuzz, each run for FUZZ_SECONDS
# on a copy of its committed seed corpus kept in the build folder (the
# committed corpus never grows). `make fuzz-smoke` is the short run that
# `make test-asan` ends with. A crash leaves its input in
# $(FUZZ_DIR)/artifacts/; replay it with `$(FUZZ_DIR)/tests/system/fuzz/fuzz_<target> <file>`.
FUZZ_DIR           ?= build-fuzz
FUZZ_CC            ?= clang
FUZZ_CXX           ?= clang++
FUZZ_SECONDS       ?= 60
FUZZ_SMOKE_SECONDS ?= 20
FUZZ_TARGETS       := reply_assembly telnet_protocol data_line settings
# The harnesses work in temporary folders; in memory, the settings file's
# flushes to disk cost nothing.
FUZZ_TMPDIR        ?= $(if $(wildcard /dev/shm),/dev/shm,/tmp)

FUZZ_FLAGS := -fsanitize=address,undefined,fuzzer-no-link -fno-omit-frame-pointer -fno-sanitize-recover=undefined

FUZZ_ENV := TMPDIR=$(FUZZ_TMPDIR) \
	ASAN_OPTIONS=detect_leaks=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: build-fuzz fuzz fuzz-smoke

# Only the logic and the virtual back end: no Qt in the fuzz build.
$(FUZZ_DIR)/CMakeCache.txt: mk/fuzz.mk
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=Debug \
		-DCMAKE_C_COMPILER=$(FUZZ_CC) -DCMAKE_CXX_COMPILER=$(FUZZ_CXX) \
		-DCMAKE_C_FLAGS="-O1 $(FUZZ_FLAGS)" -DCMAKE_CXX_FLAGS="-O1 $(FUZZ_FLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
		-DQUILLSTONE_WITH_QT=OFF -DQUILLSTONE_FUZZ=ON -DQUILLSTONE_WERROR=$(WERROR)

build-fuzz: deps $(FUZZ_DIR)/CMakeCache.txt
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzzers

# $(1): seconds per target. Each target's full log goes to
# $(FUZZ_DIR)/logs/; its summary, or the end of the log on a failure, is shown.
define run-fuzzers
	@mkdir -p $(FUZZ_DIR)/logs $(FUZZ_DIR)/artifacts; \
	passed=0; failed=0; \
	for t in $(FUZZ_TARGETS); do \
		corpus=$(FUZZ_DIR)/corpus/$$t; log=$(FUZZ_DIR)/logs/$$t.log; \
		mkdir -p $$corpus && cp -n tests/system/fuzz/corpus/$$t/* $$corpus/; \
		echo "fuzz_$$t: $(1) s on $$corpus"; \
		if $(FUZZ_ENV) $(FUZZ_DIR)/tests/system/fuzz/fuzz_$$t $$corpus -max_total_time=$(1) -timeout=10 \
			-rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/artifacts/$$t- >$$log 2>&1; then \
			grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' $$log | sed 's/^/  /'; \
			passed=$$((passed + 1)); \
		else \
			tail -n 60 $$log; echo "fuzz_$$t FAILED (log: $$log)"; failed=$$((failed + 1)); \
		fi; \
	done; \
	echo "fuzz: $$passed passed, $$failed failed"; \
	test $$failed = 0
endef

fuzz: build-fuzz
	$(call run-fuzzers,$(FUZZ_SECONDS))

fuzz-smoke: build-fuzz
	$(call run-fuzzers,$(FUZZ_SMOKE_SECONDS))

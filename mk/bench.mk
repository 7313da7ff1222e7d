# Benchmarks with targets. `make bench` builds them in Release (-O2) in a
# build directory of their own and runs them all; each prints one line per
# figure, "NAME: VALUE UNIT (target TARGET) ok" or "... MISSED", and the
# target fails when any figure missed or any benchmark failed to run.
BENCH_DIR      ?= build-bench
BENCH_PROGRAMS := bench_load bench_sample bench_chart bench_memory bench_startup bench_headless bench_stability bench_publish bench_serve bench_page

.PHONY: bench

$(BENCH_DIR)/CMakeCache.txt:
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
		-DQUILLSTONE_WERROR=$(WERROR)

bench: deps $(BENCH_DIR)/CMakeCache.txt
	cmake --build $(BENCH_DIR) -j $(JOBS) --target $(BENCH_PROGRAMS)
	@results=$(BENCH_DIR)/bench-results.txt; log=$(BENCH_DIR)/bench-stderr.txt; \
	rm -f $$results $$log; failed=0; \
	for b in $(BENCH_PROGRAMS); do \
		echo "== $$b"; \
		QT_QPA_PLATFORM=offscreen ./$(BENCH_DIR)/bench/$$b > $$results.part 2>>$$log; rc=$$?; \
		cat $$results.part; cat $$results.part >> $$results; \
		if [ $$rc -gt 1 ]; then echo "bench: $$b failed with status $$rc (see $$log)"; failed=1; fi; \
	done; rm -f $$results.part; \
	if grep -q ' MISSED$$' $$results; then echo "bench: targets missed:"; grep ' MISSED$$' $$results; failed=1; fi; \
	if [ $$failed = 0 ]; then echo "bench: every target met"; fi; \
	exit $$failed

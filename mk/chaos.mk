# `make chaos`: the real window, on the offscreen platform, against
# kiss488-sim with random link faults, speaking a kind of link drawn from the
# seed (telnet, raw or prologix), driven by a seeded random person for
# CHAOS_SECONDS; crashes, hangs (the event loop silent for 2 s) and bad
# data-file lines are counted. CHAOS_SEED replays a run (default: a random
# seed, always printed). Ends with one line:
#   chaos: N actions, M link faults, C crashes, H hangs, B bad lines (seed S)
CHAOS_SECONDS ?= 120
CHAOS_SEED    ?=

.PHONY: chaos

chaos: build
	cmake --build $(BUILD_DIR) -j $(JOBS) --target quillstone-chaos
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tests/system/chaos/quillstone-chaos --seconds $(CHAOS_SECONDS) \
		$(if $(CHAOS_SEED),--seed $(CHAOS_SEED))

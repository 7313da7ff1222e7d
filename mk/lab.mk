# make lab: one broker, LOGGERS simulators and headless loggers at 0.1 s
# publishing to it for LAB_SECONDS, the broker stopped for 30 s in the
# middle and two loggers killed and started again; ends with one line and
# fails unless every sample of every data file reached the subscriber.
# LAB_SEED replays a run.
LOGGERS     ?= 20
LAB_SECONDS ?= 120
LAB_SEED    ?=

.PHONY: lab
lab: build
	$(BUILD_DIR)/tests/system/lab/quillstone-lab --loggers $(LOGGERS) --seconds $(LAB_SECONDS) \
		$(if $(LAB_SEED),--seed $(LAB_SEED))

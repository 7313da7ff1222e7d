# The program itself: `make run`, `make demo` and `make screenshot`.
QUILLSTONE := $(abspath $(BUILD_DIR))/src/qt/quillstone
KISS488SIM := $(abspath $(BUILD_DIR))/tools/kiss488-sim/kiss488-sim
DEMO_DIR   ?= demo
# The kind of link the demo shows: telnet (the adapter), raw (an instrument's
# SCPI socket) or prologix (a GPIB-Ethernet controller, GPIB address 22).
DEMO_LINK  ?= telnet

.PHONY: run demo screenshot

# Runs the logger in the current directory: it reads and writes config.txt,
# the data file and Results.txt there.
run: build
	$(QUILLSTONE)

# The logger against the adapter simulator on loopback, in $(DEMO_DIR)/ (its
# config.txt, data file and Results.txt stay there between demos). Both stop
# when the window closes. Without a display the window is served by Qt's VNC
# platform on port 5900. `make demo DEMO_LINK=raw` shows another kind of link.
demo: build
	@mkdir -p $(DEMO_DIR)
	@log=$$(mktemp); \
	case "$(DEMO_LINK)" in telnet|raw|prologix) ;; \
		*) echo "demo: DEMO_LINK is telnet, raw or prologix"; exit 2;; esac; \
	$(KISS488SIM) --port 0 --protocol $(DEMO_LINK) > $$log & sim=$$!; \
	trap 'kill $$sim 2>/dev/null; wait $$sim 2>/dev/null; rm -f $$log' EXIT INT TERM; \
	for i in $$(seq 50); do grep -q '^listening on' $$log && break; sleep 0.1; done; \
	port=$$(sed -n 's/^listening on .*:\([0-9][0-9]*\)$$/\1/p' $$log); \
	if [ -z "$$port" ]; then echo "demo: the simulator did not start"; exit 1; fi; \
	case "$(DEMO_LINK)" in telnet) host=127.0.0.1:$$port;; raw) host=tcp://127.0.0.1:$$port;; \
		prologix) host=prologix://127.0.0.1:$$port/22;; esac; \
	cd $(DEMO_DIR); \
	if [ -f config.txt ]; then \
		sed -i "1s|.*|$$host\r|" config.txt; \
	else \
		printf '%s\r\n' "$$host" 0.5 "MEAS:VOLT:DC? 5,0.00001" "MEAS:VOLT:DC? 5,0.00001" \
			1 1 10 0 0 1 1 10 1 0 0 500 Data.txt 1 5 0 5 1 0 > config.txt; \
	fi; \
	echo "demo: simulator ($(DEMO_LINK)) on 127.0.0.1:$$port, host box $$host; press Start in the window"; \
	if [ -z "$$DISPLAY$$WAYLAND_DISPLAY$$QT_QPA_PLATFORM" ]; then \
		echo "demo: no display; connect a VNC viewer to localhost:5900"; \
		export QT_QPA_PLATFORM=vnc:size=1400x900:port=5900; \
	fi; \
	$(QUILLSTONE)

# docs/screenshot.png: the window after 45 samples from the simulator, drawn
# on the offscreen platform (no display needed).
screenshot: build
	$(abspath $(BUILD_DIR))/tests/system/screenshot/window-screenshot docs/screenshot.png 45 1

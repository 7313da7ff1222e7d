# Front door of the project. `make test` is all a fresh machine needs.
BUILD_DIR ?= build
JOBS      ?= $(shell nproc)
WERROR    ?= $(if $(CI),ON,OFF)

# Debian packages the build and the tests need.
DEB_PACKAGES := cmake make g++ pkg-config \
	qt6-base-dev qt6-qpa-plugins libqcustomplot-dev libtelnet-dev \
	libgtest-dev libgmock-dev libbenchmark-dev \
	locales xvfb xauth poppler-utils \
	clang libclang-rt-14-dev \
	dpkg-dev file desktop-file-utils man-db help2man \
	libmosquitto-dev mosquitto mosquitto-clients \
	libmicrohttpd-dev prometheus \
	libjs-dygraphs chromium chromium-driver python3-selenium

.PHONY: deps build test clean

deps:
	@missing=$$(for p in $(DEB_PACKAGES); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	done); \
	if [ -z "$$missing" ]; then echo "deps: all packages present"; \
	elif [ "$$(id -u)" = 0 ]; then \
		echo "deps: installing $$missing"; \
		apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	else \
		echo "deps: missing packages: $$missing"; \
		echo "deps: run as root:  apt-get install -y $$missing"; exit 1; \
	fi
	@./tools/ensure-locale.sh

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLSTONE_WERROR=$(WERROR)

build: deps $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 300

clean:
	rm -rf $(BUILD_DIR)

# Further targets (benchmarks, sanitizers, fuzzing) live in mk/.
-include mk/*.mk

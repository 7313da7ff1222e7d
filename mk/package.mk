# `make package`: the Debian package build/quillstone_VERSION_ARCH.deb
# (install it with `apt install ./build/quillstone_*.deb`); `make install`
# installs into PREFIX (default /usr/local) without one.
PREFIX ?= /usr/local

.PHONY: package install

package: build
	cmake --build $(BUILD_DIR) --target package

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# Brimlet and BrimletD: top-level driver of the two CMake builds.
#   make setup   install the Debian packages (idempotent; as root)
#   make build   native build (BrimletD, portable code, tests) and the
#                32-bit Windows build (brimlet.exe, brimletd.exe, Wine tests)
#   make test    setup, both builds, every native and Wine test
#   make demo    the monitor and the daemon end to end on the simulated network
BUILD      ?= build
NATIVE_DIR := $(BUILD)/native
WIN32_DIR  := $(BUILD)/win32
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
SCREEN     := -screen 0 1280x1024x24

.PHONY: all setup build native win32 test test-native test-wine demo bench clean

all: build

setup:
	bash scripts/setup.sh

build: native win32

native:
	cmake -S . -B $(NATIVE_DIR) -G Ninja $(CMAKE_ARGS)
	cmake --build $(NATIVE_DIR) -j $(JOBS)

win32:
	cmake -S . -B $(WIN32_DIR) -G Ninja -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake \
	  -DBRIMLET_NATIVE_DAEMON=$(CURDIR)/$(NATIVE_DIR)/daemon/brimletd $(CMAKE_ARGS)
	cmake --build $(WIN32_DIR) -j $(JOBS)

test: setup build
	$(MAKE) test-native test-wine

test-native:
	cd $(NATIVE_DIR) && ctest --output-on-failure -j $(JOBS)

test-wine:
	xvfb-run -a -s "$(SCREEN)" scripts/wine-session.sh $(CURDIR)/$(WIN32_DIR)/wineprefix \
	  ctest --test-dir $(WIN32_DIR) --output-on-failure -j $(JOBS)

demo: setup build
	bash scripts/demo.sh $(BUILD)

clean:
	rm -rf $(BUILD)

# Brimlet and BrimletD: top-level driver of the two CMake builds.
#   make setup   install the Debian packages (idempotent; as root)
#   make build   native build (BrimletD, portable code, tests) and the
#                32-bit Windows build (brimlet.exe, brimletd.exe, Wine tests)
#   make test    setup, both builds, every native and Wine test
#   make demo    the monitor and the daemon end to end on the simulated network
#   make package the daemon's Debian package (build/native/package/)
BUILD      ?= build
NATIVE_DIR := $(BUILD)/native
WIN32_DIR  := $(BUILD)/win32
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
SCREEN     := -screen 0 1280x1024x24

.PHONY: all setup build native win32 variants test test-native test-wine test-variants \
        screenshots demo bench package clean

# The build variants besides the standard one, each in its own build tree
# with its own brimlet.exe; only the program and the tests that a variant
# changes are built and run there.
VARIANTS := reduced percent percent-currency windows
variant_args_reduced := -DLANGUAGE_SET=reduced
variant_args_percent := -DUNIT_PARAMETER=OFF
variant_args_percent-currency := -DUNIT_PARAMETER=OFF -DCURRENCY_BALANCE=ON
variant_args_windows := -DQUOTA_SOURCE=windows
VARIANT_TARGETS := brimlet test_app test_main_frame test_resource_blocks test_resource_choice \
                   brimlet_core_wine_test resource_viewer
VARIANT_TESTS := ^(test_app|test_main_frame|test_resource_.*|brimlet_core_wine_test)$$
# A variant may build and run more than those: variant_targets_V is built
# besides VARIANT_TARGETS, and variant_tests_V, when set, replaces
# VARIANT_TESTS. The Windows drive build reads no simulated network, so the
# main frame's test, which polls one, is not its own.
variant_targets_windows := details_texts brimletd
variant_tests_windows := ^(test_app|test_resource_.*|brimlet_core_wine_test|windows_drive_quota|$\
                           programs_import_only_system_dlls)$$
TOOLCHAIN := -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake

all: build

setup:
	bash scripts/setup.sh

build: native win32

native:
	cmake -S . -B $(NATIVE_DIR) -G Ninja $(CMAKE_ARGS)
	cmake --build $(NATIVE_DIR) -j $(JOBS)

win32:
	cmake -S . -B $(WIN32_DIR) -G Ninja $(TOOLCHAIN) \
	  -DBRIMLET_NATIVE_DAEMON=$(CURDIR)/$(NATIVE_DIR)/daemon/brimletd $(CMAKE_ARGS)
	cmake --build $(WIN32_DIR) -j $(JOBS)

variants:
	$(foreach v,$(VARIANTS),\
	  cmake -S . -B $(BUILD)/win32-$(v) -G Ninja $(TOOLCHAIN) $(variant_args_$(v)) $(CMAKE_ARGS) && \
	  cmake --build $(BUILD)/win32-$(v) -j $(JOBS) \
	    --target $(VARIANT_TARGETS) $(variant_targets_$(v)) && ) true

test: setup build variants
	$(MAKE) test-native test-wine screenshots test-variants

test-native:
	cd $(NATIVE_DIR) && ctest --output-on-failure -j $(JOBS)

test-wine:
	xvfb-run -a -s "$(SCREEN)" scripts/wine-session.sh $(CURDIR)/$(WIN32_DIR)/wineprefix \
	  ctest --test-dir $(WIN32_DIR) --output-on-failure -j $(JOBS)

test-variants:
	$(foreach v,$(VARIANTS),\
	  echo "== configuration $(v)" && \
	  xvfb-run -a -s "$(SCREEN)" scripts/wine-session.sh $(CURDIR)/$(BUILD)/win32-$(v)/wineprefix \
	    ctest --test-dir $(BUILD)/win32-$(v) -R '$(or $(variant_tests_$(v)),$(VARIANT_TESTS))' \
	      --output-on-failure -j $(JOBS) && ) true

# Pictures of both dialogs in every language and configuration, for people to
# look at; a failed picture does not fail the tests.
screenshots:
	$(foreach d,win32 $(addprefix win32-,$(VARIANTS)),\
	  scripts/screenshots.sh $(BUILD)/$(d) || echo "screenshots: $(d) incomplete"; ) true

demo: setup build
	bash scripts/demo.sh $(BUILD)

# The log host's Debian package, from the native tree: build/native/package/.
package: native
	cd $(NATIVE_DIR) && cpack -G DEB

bench: build
	bash scripts/bench-daemon.sh $(NATIVE_DIR)
	bash scripts/bench-monitor.sh $(BUILD)
	bash scripts/bench-description.sh $(NATIVE_DIR)

clean:
	rm -rf $(BUILD)

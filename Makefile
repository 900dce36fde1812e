# Brimlet and BrimletD: top-level driver of the two CMake builds.
#   make setup   install the Debian packages (idempotent; as root)
#   make build   native build (BrimletD, portable code, tests) and the
#                32-bit Windows build (brimlet.exe, brimletd.exe, Wine tests)
#   make test    setup, both builds, every native and Wine test
#   make demo    the monitor and the daemon end to end on the simulated network
#   make package the daemon's Debian package (build/native/package/)
#   make msi     the monitor's Windows Installer packages (build/win32*/msi/)
#   make sign    Authenticode-signed programs and packages (see README)
BUILD      ?= build
NATIVE_DIR := $(BUILD)/native
WIN32_DIR  := $(BUILD)/win32
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
SCREEN     := -screen 0 1280x1024x24

.PHONY: all setup build native win32 variants test test-native test-wine test-variants \
        screenshots demo bench package msi sign clean

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
variant_targets_windows := details_texts brimletd msi
variant_tests_windows := ^(test_app|test_resource_.*|brimlet_core_wine_test|windows_drive_quota|$\
                           programs_import_only_system_dlls|msi_install)$$
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

# One Windows Installer package per shipped configuration: the standard one
# and the Windows drive one, each in its build tree's msi/ folder. Only the
# program and the package are built.
MSI_CONFIGS := standard windows
msi_dir_standard := $(WIN32_DIR)
msi_dir = $(or $(msi_dir_$(1)),$(BUILD)/win32-$(1))
msi:
	$(foreach c,$(MSI_CONFIGS),\
	  cmake -S . -B $(call msi_dir,$(c)) -G Ninja $(TOOLCHAIN) $(variant_args_$(c)) $(CMAKE_ARGS) && \
	  cmake --build $(call msi_dir,$(c)) -j $(JOBS) --target msi && ) true

# Signs brimlet.exe and brimletd.exe, then builds the packages from the
# signed program and signs them: the installed program carries its
# signature. The certificate and key are named in the environment (README).
export SIGN_PKCS12 SIGN_PASSWORD_FILE SIGN_PKCS11_MODULE SIGN_PKCS11_CERT SIGN_PKCS11_KEY \
       SIGN_PKCS11_ENGINE SIGN_TIMESTAMP_URL
sign:
	@if [ -z "$$SIGN_PKCS12$$SIGN_PKCS11_MODULE" ]; then \
	  echo "make sign: name the certificate: SIGN_PKCS12=FILE [SIGN_PASSWORD_FILE=FILE]," \
	       "or SIGN_PKCS11_MODULE, SIGN_PKCS11_CERT and SIGN_PKCS11_KEY (README)" >&2; exit 1; fi
	cmake -S . -B $(WIN32_DIR) -G Ninja $(TOOLCHAIN) $(CMAKE_ARGS)
	cmake --build $(WIN32_DIR) -j $(JOBS) --target brimletd
	bash scripts/sign.sh $(WIN32_DIR)/daemon/brimletd.exe
	$(foreach c,$(MSI_CONFIGS),\
	  cmake -S . -B $(call msi_dir,$(c)) -G Ninja $(TOOLCHAIN) $(variant_args_$(c)) $(CMAKE_ARGS) && \
	  cmake --build $(call msi_dir,$(c)) -j $(JOBS) --target brimlet && \
	  bash scripts/sign.sh $(call msi_dir,$(c))/monitor/brimlet.exe && \
	  cmake --build $(call msi_dir,$(c)) -j $(JOBS) --target msi && \
	  bash scripts/sign.sh "$$(cat $(call msi_dir,$(c))/msi/package-path)" && ) true

bench: build
	bash scripts/bench-daemon.sh $(NATIVE_DIR)
	bash scripts/bench-monitor.sh $(BUILD)
	bash scripts/bench-description.sh $(NATIVE_DIR)

clean:
	rm -rf $(BUILD)

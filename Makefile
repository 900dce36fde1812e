# Brimlet and BrimletD: top-level driver of the CMake builds.
#   make setup   install the Debian packages (idempotent; as root)
#   make build   native build (BrimletD, portable code, tests); the Windows
#                build whose programs this host runs, with its tests; and the
#                other width's programs (brimlet.exe, brimletd.exe, netcheck.exe)
#   make test    setup, the builds, every native and Wine test
#   make demo    the monitor and the daemon end to end on the simulated network
#   make package the daemon's Debian package (build/native/package/)
#   make msi     the monitor's Windows Installer packages (build/win32*/msi/)
#   make sign    Authenticode-signed programs and packages (see README)
# The 32-bit Windows programs (build/win32) are the ones shipped; the 64-bit
# ones (build/win64) run the Windows tests on hosts without 32-bit programs.
BUILD      ?= build
NATIVE_DIR := $(BUILD)/native
WIN32_DIR  := $(BUILD)/win32
WIN64_DIR  := $(BUILD)/win64
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
SCREEN     := -screen 0 1280x1024x24
TOOLCHAIN_32 := -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake
TOOLCHAIN_64 := -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-x86_64.cmake
TOOLCHAIN := $(TOOLCHAIN_32)
NATIVE_DAEMON := -DBRIMLET_NATIVE_DAEMON=$(CURDIR)/$(NATIVE_DIR)/daemon/brimletd
# What a Windows build of the other width builds: the programs only.
PROGRAMS := brimlet brimletd netcheck

# Which Windows build the Wine tests, the demo and the pictures run: 32 where
# this host executes 32-bit programs, else 64. scripts/wine-arch.sh probes
# once per make; `make test WINE_ARCH=64` takes the 64-bit path on any host.
ifndef BRIMLET_HOST_WINE_ARCH
BRIMLET_HOST_WINE_ARCH := $(shell bash scripts/wine-arch.sh --host)
endif
export BRIMLET_HOST_WINE_ARCH
WINE_ARCH ?= $(BRIMLET_HOST_WINE_ARCH)
ifeq ($(filter 32 64,$(WINE_ARCH)),)
$(error WINE_ARCH is "$(WINE_ARCH)"; it must be 32 or 64)
endif
# The Wine scripts follow the same choice (scripts/wine-env.sh).
export BRIMLET_WINE_ARCH := $(WINE_ARCH)
OTHER_ARCH := $(if $(filter 32,$(WINE_ARCH)),64,32)
WIN_DIR    := $(WIN$(WINE_ARCH)_DIR)
ifeq ($(WINE_ARCH)-$(BRIMLET_HOST_WINE_ARCH),64-64)
  WINE_PATH := the 64-bit build ($(WIN_DIR)) under wine64 in a win64 prefix: this host runs no 32-bit programs
else ifeq ($(WINE_ARCH),64)
  WINE_PATH := the 64-bit build ($(WIN_DIR)) under wine64 in a win64 prefix: WINE_ARCH=64
else ifeq ($(BRIMLET_HOST_WINE_ARCH),64)
  WINE_PATH := the 32-bit build ($(WIN_DIR)) under wine in a win32 prefix: WINE_ARCH=32, though this host runs no 32-bit programs
else
  WINE_PATH := the 32-bit build ($(WIN_DIR)) under wine in a win32 prefix: this host runs 32-bit programs
endif

.PHONY: all setup build native win32 win64 win32-programs win64-programs variants test \
        test-native test-wine test-msi test-variants screenshots demo bench package msi sign clean

# The build variants besides the standard one, each in its own build tree
# with its own brimlet.exe (build/win32-V, or build/win64-V on the 64-bit
# path). A variant builds and runs the tests that declare its configuration
# in CMake (brimlet_test_configurations): the target configuration_tests and
# the ctest label "configuration". A test that declares none stops the
# configure, so a new one cannot be left out unseen.
VARIANTS := reduced percent percent-currency windows
variant_args_reduced := -DLANGUAGE_SET=reduced
variant_args_percent := -DUNIT_PARAMETER=OFF
variant_args_percent-currency := -DUNIT_PARAMETER=OFF -DCURRENCY_BALANCE=ON
variant_args_windows := -DQUOTA_SOURCE=windows
VARIANT_DIRS := $(addprefix $(WIN_DIR)-,$(VARIANTS))

all: build

setup:
	bash scripts/setup.sh

build: native win$(WINE_ARCH) win$(OTHER_ARCH)-programs

native:
	cmake -S . -B $(NATIVE_DIR) -G Ninja $(CMAKE_ARGS)
	cmake --build $(NATIVE_DIR) -j $(JOBS)

win32 win32-programs:
	cmake -S . -B $(WIN32_DIR) -G Ninja $(TOOLCHAIN_32) $(NATIVE_DAEMON) $(CMAKE_ARGS)
	cmake --build $(WIN32_DIR) -j $(JOBS) $(if $(filter %-programs,$@),--target $(PROGRAMS))

win64 win64-programs:
	cmake -S . -B $(WIN64_DIR) -G Ninja $(TOOLCHAIN_64) $(NATIVE_DAEMON) $(CMAKE_ARGS)
	cmake --build $(WIN64_DIR) -j $(JOBS) $(if $(filter %-programs,$@),--target $(PROGRAMS))

variants:
	$(foreach v,$(VARIANTS),\
	  cmake -S . -B $(WIN_DIR)-$(v) -G Ninja $(TOOLCHAIN_$(WINE_ARCH)) $(variant_args_$(v)) \
	    $(CMAKE_ARGS) && \
	  cmake --build $(WIN_DIR)-$(v) -j $(JOBS) \
	    --target brimlet configuration_tests resource_viewer && ) true

test: setup build variants
	$(MAKE) test-native test-wine test-msi screenshots test-variants

test-native:
	cd $(NATIVE_DIR) && ctest --output-on-failure -j $(JOBS)

test-wine:
	@echo "Windows tests: $(WINE_PATH)"
	xvfb-run -a -s "$(SCREEN)" scripts/wine-session.sh $(CURDIR)/$(WIN_DIR)/wineprefix \
	  ctest --test-dir $(WIN_DIR) --output-on-failure --no-tests=error -j $(JOBS)

# The installer packages carry the 32-bit program, so their tests belong to
# the 32-bit tree: test-wine runs them there on the 32-bit path; on the
# 64-bit path this runs them from there, under wine64 in win64 prefixes.
test-msi:
ifeq ($(WINE_ARCH),64)
	cmake --build $(WIN32_DIR) -j $(JOBS) --target brimlet brimletd msi
	ctest --test-dir $(WIN32_DIR) -L '^msi$$' --output-on-failure --no-tests=error
else
	@echo "Installer tests: run by test-wine in $(WIN32_DIR)"
endif

test-variants:
	$(foreach d,$(VARIANT_DIRS),\
	  echo "== configuration $(patsubst $(WIN_DIR)-%,%,$(d)) ($(d))" && \
	  xvfb-run -a -s "$(SCREEN)" scripts/wine-session.sh $(CURDIR)/$(d)/wineprefix \
	    ctest --test-dir $(d) -L '^configuration$$' --output-on-failure --no-tests=error \
	      -j $(JOBS) && ) true

# Pictures of both dialogs in every language and configuration, for people to
# look at; a failed picture does not fail the tests.
screenshots:
	$(foreach d,$(WIN_DIR) $(VARIANT_DIRS),\
	  scripts/screenshots.sh $(d) || echo "screenshots: $(d) incomplete"; ) true

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

# Brimlet and BrimletD: top-level driver of the CMake builds.
#   make setup   install the Debian packages (idempotent; as root)
#   make build   native build (BrimletD, portable code, tests); the Windows
#                build whose programs this host runs, with its tests; and the
#                other width's programs (brimlet.exe, brimletd.exe, netcheck.exe)
#   make test    setup, the builds, every native and Wine test
#   make demo    the monitor and the daemon end to end on the simulated network
#   make bench   every benchmark of bench/, one after another (BENCH=...)
#   make package the daemon's Debian package (build/native/package/)
#   make msi     the Windows Installer packages of the monitor and of the
#                log host (build/win32*/msi/)
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

# Which Windows build the Wine tests, the demo and the pictures run, and why:
# scripts/wine-arch.sh decides, the one place that probes this host's Wine
# (WINE_ARCH=32 or 64 chooses by hand; otherwise it asks whether this host's
# Wine runs a 32-bit program, and keeps that answer in $(BUILD)/wine-probe).
# Make asks once and hands the answer to every script and sub-make of the run
# (BRIMLET_WINE_PATH, "64 wine32 is not installed"); WIN_ARCH is its width.
# `test` and `demo` ask only after setup has installed what it can, in their
# sub-make; goals that run no Wine do not ask.
NO_WINE_GOALS := setup test demo native package msi sign clean
ifneq ($(filter-out $(NO_WINE_GOALS),$(or $(MAKECMDGOALS),all)),)
ifndef BRIMLET_WINE_PATH
BRIMLET_WINE_PATH := $(shell WINE_ARCH='$(WINE_ARCH)' BRIMLET_BUILD='$(CURDIR)/$(BUILD)' \
                       bash scripts/wine-arch.sh --why)
ifeq ($(BRIMLET_WINE_PATH),)
$(error no choice of Windows build; see the line of wine-arch above)
endif
endif
endif
export BRIMLET_WINE_PATH
export BRIMLET_BUILD := $(CURDIR)/$(BUILD)
WIN_ARCH   := $(firstword $(BRIMLET_WINE_PATH))
WINE_WHY   := $(wordlist 2,999,$(BRIMLET_WINE_PATH))
OTHER_ARCH := $(if $(filter 32,$(WIN_ARCH)),64,32)
WIN_DIR    := $(WIN$(WIN_ARCH)_DIR)
ifeq ($(WIN_ARCH),64)
  WINE_PATH := the 64-bit build ($(WIN_DIR)) under wine64 in a win64 prefix: $(WINE_WHY)
else
  WINE_PATH := the 32-bit build ($(WIN_DIR)) under wine in a win32 prefix: $(WINE_WHY)
endif

.PHONY: all setup build native win32 win64 win32-programs win64-programs variants test \
        test-after-setup test-native test-wine test-msi test-variants screenshots demo \
        demo-after-setup bench package msi sign clean

# The build configurations and the CMake options that make each, one line
# each in cmake/configurations.txt, which CMake reads too; below them, which
# configurations have an installer package and which are shipped. The
# variants, all but the standard one, are built each in its own build tree
# with its own brimlet.exe (build/win32-V, or build/win64-V on the 64-bit
# path). A variant builds and runs the tests that declare its configuration
# in CMake (brimlet_test_configurations): the target configuration_tests and
# the ctest label "configuration". A test that declares none stops the
# configure, so a new one cannot be left out unseen.
CONFIGURATIONS_FILE := cmake/configurations.txt
CONFIGURATIONS := $(shell awk '/^[a-z]/ && $$1 != "installer" { print $$1 }' $(CONFIGURATIONS_FILE))
# $(call configuration_args,NAME): the options of configuration NAME.
configuration_args = $(strip $(shell awk '$$1 == "$(1)" { $$1 = ""; print }' \
                                       $(CONFIGURATIONS_FILE)))
# The configurations whose installer package is shipped (make msi, make sign).
MSI_CONFIGS := $(shell awk '$$1 == "installer" && $$3 == "shipped" { print $$2 }' \
                 $(CONFIGURATIONS_FILE))
VARIANTS := $(filter-out standard,$(CONFIGURATIONS))
VARIANT_DIRS := $(addprefix $(WIN_DIR)-,$(VARIANTS))

all: build

setup:
	bash scripts/setup.sh

build: native win$(WIN_ARCH) win$(OTHER_ARCH)-programs

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
	  cmake -S . -B $(WIN_DIR)-$(v) -G Ninja $(TOOLCHAIN_$(WIN_ARCH)) \
	    $(call configuration_args,$(v)) $(CMAKE_ARGS) && \
	  cmake --build $(WIN_DIR)-$(v) -j $(JOBS) \
	    --target brimlet configuration_tests resource_viewer && ) true

# setup first, then a make that asks which Windows build runs: the answer
# depends on what setup could install.
test:
	bash scripts/setup.sh
	$(MAKE) --no-print-directory test-after-setup

test-after-setup: build variants
	$(MAKE) --no-print-directory test-native test-wine test-msi screenshots test-variants

test-native:
	cd $(NATIVE_DIR) && ctest --output-on-failure -j $(JOBS)

test-wine:
	@echo "Windows tests: $(WINE_PATH)"
	xvfb-run -a -s "$(SCREEN)" scripts/wine-session.sh $(CURDIR)/$(WIN_DIR)/wineprefix \
	  ctest --test-dir $(WIN_DIR) --output-on-failure --no-tests=error -j $(JOBS)

# The installer tests of the shipped package, the x86 one of the 32-bit tree.
# On the 32-bit path test-wine runs them. On the 64-bit path test-wine runs
# them on the x64 package of the 64-bit tree, and this runs the x86
# package's: every one where Wine has a 32-bit side (WINE_ARCH=64 on a host
# with wine32: the probe's own answer, --host, read from its answer file),
# else those that need no Wine (its tables, signing).
test-msi:
ifeq ($(WIN_ARCH),64)
	cmake --build $(WIN32_DIR) -j $(JOBS) --target brimlet brimletd msi brimlet_standins
	@probed="$$(bash scripts/wine-arch.sh --why --host)"; \
	if [ "$${probed%% *}" = 32 ]; then \
	  echo "Installer tests of the x86 package: installed under wine64 in win64 prefixes"; \
	  ctest --test-dir $(WIN32_DIR) -L '^msi$$' --output-on-failure --no-tests=error; \
	else \
	  echo "Installer tests of the x86 package: its contents only, not installed" \
	       "($${probed#* }; the x64 package was installed by test-wine)"; \
	  ctest --test-dir $(WIN32_DIR) -L '^msi$$' -LE '^wine$$' --output-on-failure --no-tests=error; \
	fi
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

# setup first, then a make that asks which Windows build runs; only the
# programs the demo runs are built.
demo:
	bash scripts/setup.sh
	$(MAKE) --no-print-directory demo-after-setup

demo-after-setup:
	cmake -S . -B $(NATIVE_DIR) -G Ninja $(CMAKE_ARGS)
	cmake --build $(NATIVE_DIR) -j $(JOBS) --target brimletd
	cmake -S . -B $(WIN_DIR) -G Ninja $(TOOLCHAIN_$(WIN_ARCH)) $(NATIVE_DAEMON) $(CMAKE_ARGS)
	cmake --build $(WIN_DIR) -j $(JOBS) --target simulated_workstation
	bash scripts/demo.sh $(BUILD)

# The log host's Debian package, from the native tree: build/native/package/.
package: native
	cd $(NATIVE_DIR) && cpack -G DEB

# One Windows Installer package per shipped configuration (MSI_CONFIGS, the
# "installer ... shipped" lines of cmake/configurations.txt), each in its
# build tree's msi/ folder. Only the program and the package are built.
$(foreach c,$(MSI_CONFIGS),$(if $(filter $(c),$(CONFIGURATIONS)),,\
  $(error $(CONFIGURATIONS_FILE): installer $(c) is not a configuration of the file)))
msi_dir_standard := $(WIN32_DIR)
msi_dir = $(or $(msi_dir_$(1)),$(BUILD)/win32-$(1))
msi:
	$(foreach c,$(MSI_CONFIGS),\
	  cmake -S . -B $(call msi_dir,$(c)) -G Ninja $(TOOLCHAIN) \
	    $(call configuration_args,$(c)) $(CMAKE_ARGS) && \
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
	  cmake -S . -B $(call msi_dir,$(c)) -G Ninja $(TOOLCHAIN) \
	    $(call configuration_args,$(c)) $(CMAKE_ARGS) && \
	  cmake --build $(call msi_dir,$(c)) -j $(JOBS) --target brimlet && \
	  bash scripts/sign.sh $(call msi_dir,$(c))/monitor/brimlet.exe && \
	  cmake --build $(call msi_dir,$(c)) -j $(JOBS) --target msi && \
	  bash scripts/sign.sh "$$(cat $(call msi_dir,$(c))/msi/package-path)" && \
	  { [ ! -f $(call msi_dir,$(c))/msi/log-host-package-path ] || \
	    bash scripts/sign.sh "$$(cat $(call msi_dir,$(c))/msi/log-host-package-path)"; } && ) true

# The benchmarks (bench/), in this order; BENCH="NAME ..." runs some of them.
# Only the target benchmarks is built, in the trees the chosen ones run from:
# the native tree, and the Windows tree whose programs this host runs.
BENCHES := daemon journal report monitor description scan
BENCH ?= $(BENCHES)
NATIVE_BENCHES := daemon journal report description
bench_dir = $(if $(filter $(NATIVE_BENCHES),$(1)),$(NATIVE_DIR),$(BUILD))
bench:
	@$(if $(filter-out $(BENCHES),$(BENCH)),echo "make bench: unknown in BENCH:" \
	  "$(filter-out $(BENCHES),$(BENCH)) (the benchmarks: $(BENCHES))" >&2; exit 1,true)
ifneq ($(filter $(NATIVE_BENCHES),$(BENCH)),)
	cmake -S . -B $(NATIVE_DIR) -G Ninja $(CMAKE_ARGS)
	cmake --build $(NATIVE_DIR) -j $(JOBS) --target benchmarks
endif
ifneq ($(filter-out $(NATIVE_BENCHES),$(BENCH)),)
	cmake -S . -B $(WIN_DIR) -G Ninja $(TOOLCHAIN_$(WIN_ARCH)) $(NATIVE_DAEMON) $(CMAKE_ARGS)
	cmake --build $(WIN_DIR) -j $(JOBS) --target benchmarks
endif
	$(foreach b,$(filter $(BENCH),$(BENCHES)),\
	  echo "== benchmark $(b)" && bash bench/bench-$(b).sh $(call bench_dir,$(b)) && ) true

clean:
	rm -rf $(BUILD)

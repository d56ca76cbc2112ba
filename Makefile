# The two commands a fresh Debian 12 machine needs (as root):
#   make run    set up, build, and start the installer under Wine
#   make test   set up, build, and run every test under Wine
# Tests and `make run` use the architecture this host can run under Wine
# (tools/target-arch.sh); `make installer` always builds the shipped
# 32-bit program; `make channels` builds it once per row of channels.csv.
BUILD ?= build
SHIP ?= build-i686
CHANNELS ?= build-channels
CHANNEL_TABLE ?= channels.csv
JOBS ?= $(shell nproc)

.PHONY: all setup build installer channels run test clean

all: build

setup:
	sh tools/setup.sh

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$$(tools/target-arch.sh).cmake \
	    -DLOBBY_SHIPPED_DIR=$(abspath $(SHIP))
	cmake --build $(BUILD) -j$(JOBS)

installer: setup
	cmake -S . -B $(SHIP) -DCMAKE_BUILD_TYPE=Release -DLOBBY_TESTS=OFF \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
	cmake --build $(SHIP) -j$(JOBS)

# One configure for the whole table; a bad row stops it before anything is
# built. The executables and their SHA256SUMS land in $(CHANNELS)/.
channels: setup
	cmake -S . -B $(CHANNELS) -DCMAKE_BUILD_TYPE=Release -DLOBBY_TESTS=OFF \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	    -DLOBBY_CHANNELS=$(abspath $(CHANNEL_TABLE))
	cmake --build $(CHANNELS) -j$(JOBS) --target channels

run: build
	tools/run.sh $(BUILD)

# The shipped build is compiled too, so a host that tests the 64-bit build
# still proves the 32-bit one builds.
test: build installer
	cd $(BUILD) && ctest --output-on-failure -j2

clean:
	rm -rf $(BUILD) $(SHIP) $(CHANNELS)

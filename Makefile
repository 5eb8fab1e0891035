# make run   - install missing packages, build, start the program
# make test  - install missing packages, build, run every test
BUILD ?= build
JOBS ?= $(shell nproc)
# Extra CMake options, e.g. CMAKE_FLAGS=-DHARPOLY_WERROR=ON
CMAKE_FLAGS ?=

.PHONY: run test deps configure build screenshots bench clean

run: build
	scripts/run.sh

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

deps:
	scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

screenshots: build
	scripts/screenshots.sh

bench: build
	bench/run.sh

clean:
	rm -rf $(BUILD)

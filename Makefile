# make run          - install the program's packages, build the program alone, start it
# make test         - install the test packages too, build everything, run every test (CTest)
# make install      - install into PREFIX (default /usr/local): make install PREFIX=~/.local
# make deb          - build the Debian package build/harpoly_<version>_<arch>.deb
# make bench        - build the benchmarks, make their corpus, run them
# make screenshots  - the user guide's screenshots (docs/screenshots/), offscreen
BUILD ?= build
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
# Extra CMake options, e.g. CMAKE_FLAGS=-DHARPOLY_WERROR=ON
CMAKE_FLAGS ?=
CONFIGURE = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

.PHONY: run test program install deb bench screenshots clean

run: program
	BUILD=$(abspath $(BUILD)) scripts/run.sh

# The program and its icons only: no test package is needed.
program:
	scripts/install-deps.sh run
	$(CONFIGURE) -DHARPOLY_TESTS=OFF
	cmake --build $(BUILD) -j$(JOBS) --target harpoly harpoly_icons

test:
	scripts/install-deps.sh run test
	$(CONFIGURE) -DHARPOLY_TESTS=ON
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

install: program
	cmake --install $(BUILD) --prefix $(PREFIX)

deb: program
	scripts/install-deps.sh deb
	cd $(BUILD) && cpack -G DEB

bench: program
	scripts/install-deps.sh test
	BUILD=$(abspath $(BUILD)) bench/run.sh

screenshots: program
	BUILD=$(abspath $(BUILD)) scripts/screenshots.sh

# make fuzz  - build the fuzz targets with clang and run each for FUZZ_SECONDS
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
.PHONY: fuzz
fuzz:
	scripts/install-deps.sh run test
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DHARPOLY_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzzers
	fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)

# make run   - install missing packages, build, start the program
# make test  - install missing packages, build, run every test
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test deps configure build screenshots bench clean

run: build
	scripts/run.sh

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

deps:
	scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j$(JOBS)

screenshots: build
	scripts/screenshots.sh

bench: build
	bench/run.sh

# make fuzz  - build the fuzz targets with clang and run each for FUZZ_SECONDS
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
.PHONY: fuzz
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DHARPOLY_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzzers
	fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)

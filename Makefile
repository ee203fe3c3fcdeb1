# The two everyday commands: `make demo` and `make test`. Both install what is missing first.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)

.PHONY: deps configure build demo test check-sanitize fuzz clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

demo: build
	@scripts/demo $(BUILD)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

check-sanitize: deps
	@cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVUK_SANITIZE=ON >/dev/null
	@cmake --build $(SAN_BUILD) -j $(JOBS)
	@ctest --test-dir $(SAN_BUILD) --output-on-failure -j $(JOBS)

fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DVUK_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_reader fuzz_import fuzz_source
	@scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS) reader
	@scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS) import
	@scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS) source

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)

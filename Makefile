# The two everyday commands: `make demo` and `make test`. Both install what is missing first.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
WIN_BUILD  ?= build-windows
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)

.PHONY: deps configure build demo test check-sanitize check-windows fuzz clean

deps:
	@scripts/install-deps

# Builds stay quiet: their output goes to a log in the build folder, shown only when they fail.
QUIETLY = scripts/quietly

configure: deps
	@$(QUIETLY) $(BUILD)/configure.log "Configuring $(BUILD)/" cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVUK_UNITY_BUILD=ON

build: configure
	@$(QUIETLY) $(BUILD)/build.log "Building everything in $(BUILD)/" cmake --build $(BUILD) -j $(JOBS)

# The demo needs only vukhost, which builds the two modules.
demo: configure
	@$(QUIETLY) $(BUILD)/build.log "Building vukhost and the modules in $(BUILD)/" cmake --build $(BUILD) -j $(JOBS) --target vukhost
	@scripts/demo $(BUILD)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

check-sanitize: deps
	@$(QUIETLY) $(SAN_BUILD)/configure.log "Configuring $(SAN_BUILD)/" cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVUK_SANITIZE=ON -DVUK_UNITY_BUILD=ON
	@$(QUIETLY) $(SAN_BUILD)/build.log "Building everything in $(SAN_BUILD)/" cmake --build $(SAN_BUILD) -j $(JOBS)
	@ctest --test-dir $(SAN_BUILD) --output-on-failure -j $(JOBS)

# The exchange library and its tests cross-built for Windows with MinGW-w64 and run under Wine, so
# that the Windows branches of the file calls run.
check-windows:
	@scripts/install-deps --windows
	@$(QUIETLY) $(WIN_BUILD)/configure.log "Configuring $(WIN_BUILD)/ for Windows (MinGW-w64)" cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DVUK_EXCHANGE_ONLY=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	@$(QUIETLY) $(WIN_BUILD)/build.log "Building the exchange library and its tests in $(WIN_BUILD)/" cmake --build $(WIN_BUILD) -j $(JOBS)
	@scripts/wine-ctest $(WIN_BUILD) -j $(JOBS)

fuzz: deps
	@$(QUIETLY) $(FUZZ_BUILD)/configure.log "Configuring $(FUZZ_BUILD)/" cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DVUK_FUZZ=ON
	@$(QUIETLY) $(FUZZ_BUILD)/build.log "Building the fuzz targets in $(FUZZ_BUILD)/" cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_reader fuzz_import fuzz_source fuzz_obj
	@scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS) reader
	@scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS) import
	@scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS) source
	@scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS) obj

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD) $(WIN_BUILD)

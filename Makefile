# Wraps the CMake build: `make run` starts the program, `make test` runs every test, `make package` builds
# the Debian package $(BUILD)/orvenix-desk_<version>_<arch>.deb.
BUILD      ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_ARGS ?=
JOBS       ?= $(shell nproc)

.PHONY: all deps configure build run test package sanitize bench fuzz clean

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_ARGS)

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/orvenix --machine emulated

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

package: build
	cd $(BUILD) && cpack -G DEB

sanitize:
	$(MAKE) test BUILD=build-sanitize BUILD_TYPE=Debug CMAKE_ARGS="-DORVENIX_SANITIZE=ON"

bench: build
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b; done

fuzz:
	@./scripts/install-deps.sh --fuzz
	$(MAKE) build BUILD=build-fuzz BUILD_TYPE=RelWithDebInfo CMAKE_ARGS="-DORVENIX_FUZZ=ON -DORVENIX_GUI=OFF -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang"

clean:
	rm -rf $(BUILD) build-sanitize build-fuzz

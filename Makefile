# Two commands: "make run" sets up, builds and starts the program; "make test" sets up,
# builds and runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: setup build run test install bench clean

setup:
	scripts/setup.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/kelmo4

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

install: build
	cmake --install $(BUILD)

bench: build
	@if [ -x $(BUILD)/bench/kelmo4-bench ]; then $(BUILD)/bench/kelmo4-bench; else echo "no benchmarks built"; fi

clean:
	rm -rf $(BUILD)

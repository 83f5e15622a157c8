# Two commands: "make run" sets up, builds and starts the program; "make test" sets up,
# builds and runs every test, first in the normal build, then in the sanitizer build.
BUILD ?= build
JOBS ?= $(shell nproc)

SANITIZE_BUILD ?= build-sanitize

.PHONY: setup build run test test-normal test-sanitize install bench clean

setup:
	scripts/setup.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/kelmo4

test: test-normal test-sanitize

test-normal: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite again, built with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# (any finding fails its test), and the fuzz targets with libFuzzer (short runs).
$(SANITIZE_BUILD)/build.ninja:
	CC=clang CXX=clang++ cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DKELMO4_SANITIZE=ON -DKELMO4_FUZZ=ON

test-sanitize: setup $(SANITIZE_BUILD)/build.ninja
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS)

install: build
	cmake --install $(BUILD)

# Every benchmark against its baseline, repeated (median shown), then the table of the
# figures; the raw results stay in $(BUILD)/bench/results.json. Not part of "make test".
BENCH_REPETITIONS ?= 3
bench: build
	$(BUILD)/bench/kelmo4-bench --benchmark_repetitions=$(BENCH_REPETITIONS) \
	  --benchmark_report_aggregates_only=true \
	  --benchmark_out=$(abspath $(BUILD))/bench/results.json --benchmark_out_format=json
	python3 bench/report.py $(BUILD)/bench/results.json | tee $(BUILD)/bench/results.md

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)

# Lumaret: the two set-up commands are `make run` and `make test` (see README.md).
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: all deps build run test test-main test-asan test-tsan bench clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run-lumaret.sh $(BUILD)

# Every test: the full build with all tests, then the base and engine tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the job and probe tests under
# ThreadSanitizer (the engine, where the job and probe threads live).
test: build
	$(MAKE) --no-print-directory test-main test-asan test-tsan

test-main:
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DLUMARET_ENGINE_ONLY=ON \
	      -DLUMARET_SANITIZE=address,undefined -DLUMARET_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target test_base test_engine
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	      ctest --output-on-failure -j $(JOBS) -L 'base|engine'

test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DLUMARET_ENGINE_ONLY=ON \
	      -DLUMARET_SANITIZE=thread -DLUMARET_BUILD_BENCH=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target test_base test_engine
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1 \
	      ctest --output-on-failure -j $(JOBS) -L 'base|engine'

bench: build
	scripts/run-benchmarks.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD)

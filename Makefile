# Lumaret: the two set-up commands are `make run` and `make test` (see README.md).
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
TSA_BUILD  ?= build-tsa
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja
# Warnings are errors in every build made here (GCC 12 and Clang 14 build the tree warning-free);
# `make WERROR=OFF ...` for a compiler that warns about more.
WERROR     ?= ON
CMAKE_OPTS := $(CMAKE_GEN) -DLUMARET_WERROR=$(WERROR)
# `make test` and `make lint` run the 120-column check (LINE_LENGTH=OFF leaves it out).
LINE_LENGTH ?= ON
# `make test` runs `make lint` last (LINT=OFF leaves it out). Make has a built-in LINT ("lint"),
# so `?=` would never set it: only a value from the command line or the environment counts.
ifeq ($(origin LINT),default)
LINT := ON
endif

.PHONY: all deps build run install test test-main test-asan test-tsan test-tsa lint line-length bench clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_OPTS) -DCMAKE_BUILD_TYPE=RelWithDebInfo

# A build folder configured before, or with another WERROR, is brought to the wanted setting.
build: deps $(BUILD)/build.ninja
	@grep -qx 'LUMARET_WERROR:BOOL=$(WERROR)' $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -DLUMARET_WERROR=$(WERROR)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run-lumaret.sh $(BUILD)

# Installs for the current user into ~/.local/opt/Lumaret (menu entries, icon, ~/.local/bin/lumaret);
# as root, `make install PREFIX=/opt/Lumaret` installs for everyone. LumaretUninstall removes it again.
PREFIX ?= $(HOME)/.local/opt/Lumaret
install: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target lumaret lumaret-cli lumaret-shellext LumaretUninstall lumaret_skin
	cmake --install $(BUILD) --prefix "$(PREFIX)"

# Every test: the full build with all tests, then the base and engine tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the job and probe tests under
# ThreadSanitizer (the engine, where the job and probe threads live), then the base and
# engine built by Clang with its lock analysis as errors, so that every GUARDED_BY is checked,
# and last clang-tidy over the sources and the line-length check (as LINT and LINE_LENGTH say).
test: build
	$(MAKE) --no-print-directory test-main test-asan test-tsan test-tsa $(if $(filter ON,$(LINT)),lint) \
	        $(if $(filter ON,$(LINE_LENGTH)),line-length)

test-main:
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_OPTS) -DCMAKE_BUILD_TYPE=Debug -DLUMARET_ENGINE_ONLY=ON \
	      -DLUMARET_SANITIZE=address,undefined -DLUMARET_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target test_base test_engine
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	      ctest --output-on-failure -j $(JOBS) -L 'base|engine'

test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) $(CMAKE_OPTS) -DCMAKE_BUILD_TYPE=Debug -DLUMARET_ENGINE_ONLY=ON \
	      -DLUMARET_SANITIZE=thread -DLUMARET_BUILD_BENCH=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target test_base test_engine
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1 \
	      ctest --output-on-failure -j $(JOBS) -L 'base|engine'

# Clang's thread-safety analysis reads the lock annotations of kxlib/KXThreadSafety.h; GCC ignores
# them. A field touched without its lock, or a lock taken and not released, fails this build.
test-tsa: deps
	cmake -S . -B $(TSA_BUILD) $(CMAKE_OPTS) -DCMAKE_BUILD_TYPE=Debug -DLUMARET_ENGINE_ONLY=ON \
	      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DLUMARET_BUILD_BENCH=OFF \
	      "-DCMAKE_CXX_FLAGS=-Wthread-safety -Werror=thread-safety"
	cmake --build $(TSA_BUILD) -j $(JOBS) --target test_base test_engine

# clang-tidy with the checks of .clang-tidy over the sources, from the full build's compile
# commands; any finding fails. With LINE_LENGTH=ON the 120-column limit is checked first.
lint: deps $(BUILD)/build.ninja $(if $(filter ON,$(LINE_LENGTH)),line-length)
	scripts/run-lint.sh $(BUILD) $(JOBS)

line-length:
	scripts/check-line-length.sh 120

bench: build
	scripts/run-benchmarks.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(TSA_BUILD)

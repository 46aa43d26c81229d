# The two commands of the README: `make run` and `make test`.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)

.PHONY: all deps build test test-release test-sanitize test-thread run bench screenshot try-window clean

all: build

deps:
	@bash scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test-release: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DLUMIVA_SANITIZE=ON -DLUMIVA_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

test: test-release test-sanitize test-thread

# The tests of the run's worker threads under ThreadSanitizer.
TSAN_BUILD ?= build-tsan
test-thread: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIVA_BENCH=OFF -DLUMIVA_GUI=OFF \
	  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target ray_run_test form_test cli_test
	bash scripts/run-tsan-tests $(addprefix $(TSAN_BUILD)/tests/,ray_run_test form_test cli_test)

# Opens the window on examples/ when there is a display; otherwise writes a ray set
# from examples/ with the batch command.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] && [ -x $(BUILD)/gui/lumiva ]; then \
	  cd examples && ../$(BUILD)/gui/lumiva; \
	else \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): running the batch generator on examples/"; \
	  cd examples && ../$(BUILD)/cli/lumiva-gen --config lumiva.cfg --seed 1 \
	    && echo "Ray set written to $(CURDIR)/examples/ray.dat"; \
	fi

bench: build
	bash bench/throughput.sh $(BUILD)

screenshot: build
	bash scripts/screenshot docs/window.png $(BUILD)

try-window: build
	bash scripts/try-window $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD)

# The two commands of the README, and a few more for development.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRIVEL_WERROR=ON
# The sanitizer build, which also holds the fuzz targets. Warnings are errors in the main build
# only: clang warns of a few things gcc accepts.
ASAN_DIR ?= build-asan
ASAN_CMAKE_FLAGS ?= $(CMAKE_FLAGS) -DCMAKE_CXX_COMPILER=clang++-14 -DBRIVEL_SANITIZE=ON \
	-DBRIVEL_FUZZ=ON -DBRIVEL_BUILD_BENCHMARKS=OFF -DBRIVEL_WERROR=OFF
FUZZ_SECONDS ?= 600

.PHONY: all deps configure build run test bench format format-check install clean \
	configure-asan fuzz-build fuzz test-sanitize

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/src/app/brivel

test: build fuzz-build
	@scripts/run-tests $(BUILD_DIR) $(JOBS)
	@scripts/run-tests $(ASAN_DIR) $(JOBS) -L fuzz

configure-asan: deps
	@cmake -S . -B $(ASAN_DIR) $(ASAN_CMAKE_FLAGS) >/dev/null

fuzz-build: configure-asan
	@cmake --build $(ASAN_DIR) -j $(JOBS) --target brivel_fuzzers

# Every fuzz target for FUZZ_SECONDS, one after the other, each with a job per core.
fuzz: fuzz-build
	@scripts/fuzz $(ASAN_DIR) $(FUZZ_SECONDS) $(JOBS)

# The whole suite, fuzz smokes included, under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: configure-asan
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	@scripts/run-tests $(ASAN_DIR) $(JOBS)

# Offscreen, then the benchmarks that measure the window system itself on a private X server
# with a window manager, as a desktop has: the start-up among them, so that its figure is the one
# users meet. Full-screen reading is measured on the two screen sizes it is held to.
X11_BENCHMARKS = Carousel|IdlePinnedSession|CursorSession|SlashToPalettePainted|HowItWorksCycle|StartupToMainWindow
SCREEN_BENCHMARKS = ReadingCpu
bench: build
	$(BUILD_DIR)/bench/brivel_bench --benchmark_filter='-($(X11_BENCHMARKS)|$(SCREEN_BENCHMARKS))'
	QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" scripts/with-window-manager \
		$(BUILD_DIR)/bench/brivel_bench --benchmark_filter='$(X11_BENCHMARKS)'
	for screen in 1440x900 1920x1080; do \
		QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 $${screen}x24" scripts/with-window-manager \
			$(BUILD_DIR)/bench/brivel_bench --benchmark_filter='$(SCREEN_BENCHMARKS)' || exit 1; \
	done

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

install: build
	@cmake --install $(BUILD_DIR)

clean:
	@rm -rf $(BUILD_DIR)

# Front door of the project. `make test` works on a fresh Debian machine:
# it installs what is missing, configures, builds and runs the whole suite.
BUILD_DIR    ?= build
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR     ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS         ?= 2
CMAKE_FLAGS  ?=

export QT_QPA_PLATFORM ?= offscreen

.PHONY: all deps configure build test sanitize bench fuzz clean format

all: build

deps:
	@scripts/install-deps.sh

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD_DIR) -j $(JOBS) --output-on-failure

$(SANITIZE_DIR)/build.ninja:
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMARA_SANITIZE=ON $(CMAKE_FLAGS)

sanitize: deps $(SANITIZE_DIR)/build.ninja
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  ctest --test-dir $(SANITIZE_DIR) -j $(JOBS) --output-on-failure

# Each fuzz target runs FUZZ_SECONDS from its seed corpus in tests/data/fuzz/;
# what it finds goes to $(FUZZ_DIR)/artifacts/, its growing corpus to
# $(FUZZ_DIR)/corpus/.
fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DLUMARA_FUZZ=ON -DBUILD_TESTING=OFF -DLUMARA_BENCHMARKS=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	@for target in $$(ls fuzz/*.cpp | xargs -n1 basename | sed 's/\.cpp$$//'); do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$target $(FUZZ_DIR)/artifacts; \
	  echo "== $$target for $(FUZZ_SECONDS) s"; \
	  $(FUZZ_DIR)/bin/$$target -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=4096 \
	    -artifact_prefix=$(FUZZ_DIR)/artifacts/$$target- -print_final_stats=1 \
	    $(FUZZ_DIR)/corpus/$$target tests/data/fuzz/$$target || exit 1; \
	done

bench: build
	$(BUILD_DIR)/bin/lumara_bench --benchmark_min_time=0.2

format:
	clang-format -i $$(git ls-files '*.h' '*.cpp')

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)

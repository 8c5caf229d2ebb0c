# A thin layer over CMake. `make run` builds and starts the program,
# `make test` builds and runs every test, `make bench` every benchmark,
# `make bench-compare` times zbuffer against Mesa's llvmpipe, `make bench-scaling`
# zbuffer against mesh size and threads, `make fuzz`
# fuzzes the PLY readers; all of them install missing packages first.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
MESH ?=

.PHONY: all deps build run test test-normal test-sanitize bench bench-compare bench-scaling fuzz format lint clean

all: build

deps:
	@tools/install-deps.sh build

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

# MESH is one path, relative to this folder, and may contain spaces. The
# window needs an X display; without one this stops before building anything.
run: deps
	$(if $(DISPLAY),,$(error zbuffer opens a window and needs an X display, and DISPLAY is not set; \
	  without one, zbuffer-render draws the same frames into pictures (see the README)))
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j$(JOBS) --target zbuffer
	./$(BUILD)/zbuffer $(if $(MESH),'$(subst ','\'',$(MESH))')

# Every test in the normal build, the tests again with the sanitizers, and a
# short fuzzing run of the PLY reader.
test: test-normal test-sanitize fuzz

test-normal: build
	@tools/install-deps.sh test
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# AddressSanitizer, UndefinedBehaviorSanitizer and the leak checker stop on
# the first fault. The tests of the OpenGL programs, of resident size and
# under valgrind stay in the normal build: Mesa keeps memory to exit, the
# sanitizer's own bookkeeping grows the resident size, and valgrind cannot run
# a sanitized program. So does the install test, since this build makes only
# the programs its tests run.
test-sanitize: deps
	@tools/install-deps.sh test
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Release -DZBUFFER_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j$(JOBS) --target zbuffer_tests zbuffer-render image_compare
	ASAN_OPTIONS=detect_leaks=1 ctest --test-dir $(SANITIZE_BUILD) --output-on-failure \
		-j$(JOBS) -LE 'opengl|resident_size|valgrind|install'

# FUZZ_SECONDS of libFuzzer on the PLY reader and the pipeline, then as long
# on the import's readers (complete PLY, OBJ, STL); any crash,
# hang, leak or undefined behaviour fails it and leaves its input in
# fuzz/artifacts.
fuzz: deps
	@tools/install-deps.sh test
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=Release \
		-DZBUFFER_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target ply_fuzzer import_fuzzer
	fuzz/run.sh $(FUZZ_BUILD)/ply_fuzzer $(FUZZ_SECONDS)
	fuzz/run.sh $(FUZZ_BUILD)/import_fuzzer $(FUZZ_SECONDS)

bench: build
	@tools/install-deps.sh bench
	@cmake --build $(BUILD) --target run_bench

bench-compare: deps
	@tools/install-deps.sh bench
	@bench/compare.sh $(BUILD)

bench-scaling: deps
	@tools/install-deps.sh bench
	@bench/scaling.sh $(BUILD)

format:
	@tools/install-deps.sh lint
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

lint: build
	@tools/install-deps.sh lint
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
	cppcheck --quiet --error-exitcode=1 --enable=warning,performance,portability \
		--std=c++17 --language=c++ --inline-suppr -I . \
		$$(git ls-files '*.cpp' | grep -v '^tests/')

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)

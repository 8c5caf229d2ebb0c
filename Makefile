# A thin layer over CMake. `make run` builds and starts the program,
# `make test` builds and runs every test, `make bench` every benchmark,
# `make bench-compare` times zbuffer against Mesa's llvmpipe; all of them
# install missing packages first.
BUILD ?= build
JOBS ?= $(shell nproc)
MESH ?=

.PHONY: all deps build run test test-unit bench bench-compare format lint clean

all: build

deps:
	@tools/install-deps.sh build

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

# MESH is one path, relative to this folder, and may contain spaces.
run: build
	./$(BUILD)/zbuffer $(if $(MESH),'$(subst ','\'',$(MESH))')

test: build
	@tools/install-deps.sh test
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

bench: build
	@tools/install-deps.sh bench
	@cmake --build $(BUILD) --target run_bench

bench-compare: deps
	@tools/install-deps.sh bench
	@bench/compare.sh $(BUILD)

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
	rm -rf $(BUILD)

# Thin wrapper over CMake presets: every target first installs whatever Debian packages are
# missing, so a fresh machine needs nothing but these commands.

.PHONY: all deps build test run format clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default

test: build
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize
	@ctest --preset default
	@ctest --preset sanitize

run: build
	@scripts/run.sh build/default/app/kazerima

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build

# Thin wrapper over CMake presets: every target first installs whatever Debian packages are
# missing, so a fresh machine needs nothing but these commands.

.PHONY: all deps build test run bench soak package windows windows-build format clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default

test: build windows-build
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize
	@ctest --preset default
	@ctest --preset sanitize
	@ctest --preset windows

run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		echo "make run: no display here to open the window on (DISPLAY is not set)."; \
	else \
		build/default/app/kazerima; \
	fi

bench: deps windows-build
	@cmake --preset release >/dev/null
	@cmake --build --preset release
	@bench/run.sh build/release build/windows

# Ten minutes of random use of the real window; prints resident memory as it goes.
soak: build
	@QT_QPA_PLATFORM=offscreen STRESS_SECONDS=600 QTEST_FUNCTION_TIMEOUT=900000 \
		build/default/tests/tst_stress -maxwarnings 0 2>&1 | \
		grep -E 'QINFO|PASS   : TestStress::random|FAIL|Totals'

package: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release --target package

# The Windows build: Kazerima.exe, cross-built with mingw-w64, and its zip.
windows: windows-build
	@cmake --build --preset windows --target package
	@ls build/windows/app/Kazerima.exe build/windows/Kazerima-*-win64.zip

windows-build: deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build

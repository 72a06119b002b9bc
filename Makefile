# Thin wrapper over CMake presets: every target first installs whatever Debian packages are
# missing, so a fresh machine needs nothing but these commands.

BUILD := cmake --build

.PHONY: all deps build test test-native test-cross run bench soak package windows windows-build web web-serve format clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset default >/dev/null
	@$(BUILD) --preset default

# Two lanes side by side: the native builds and their tests, and the cross-builds and theirs.
# A browser's or Wine's test mostly waits on a window, so a build beside it takes up the cores it
# leaves; each command's output shows whole once that command is done. The builds yield to the
# tests beside them, which count frames and watch repaints as they come. The sanitized tests,
# several times slower, run once the browsers are done: beside them, their rates and time limits
# measured the browsers.
test: deps node_modules/.package-lock.json
	@$(MAKE) --no-print-directory --output-sync=line -j2 BUILD='nice $(BUILD)' \
		test-native test-cross
	@ctest --preset sanitize

test-native: build
	@ctest --preset default
	@cmake --preset sanitize >/dev/null
	@$(BUILD) --preset sanitize

test-cross: windows-build web
	@ctest --preset windows
	@ctest --preset web

run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		echo "make run: no display here to open the window on (DISPLAY is not set)."; \
	else \
		build/default/app/kazerima; \
	fi

bench: deps windows-build web
	@cmake --preset release >/dev/null
	@cmake --build --preset release
	@bench/run.sh build/release build/windows build/web

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
	@$(BUILD) --preset windows

# The web page: build/web/, a folder of static files to put on any host or to open from disk.
web: deps node_modules/.package-lock.json
	@cmake --preset web >/dev/null
	@$(BUILD) --preset web

# Serves build/web/ on this machine only, for a try in a browser.
web-serve: web
	@echo "Kazerima on http://localhost:8000/ (Ctrl+C ends)"
	@python3 -m http.server --bind 127.0.0.1 --directory build/web 8000

# The browser driver for the page's tests, exactly as the lockfile pins it; no browser download.
node_modules/.package-lock.json: package-lock.json
	@npm ci --no-audit --no-fund --loglevel=error

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build

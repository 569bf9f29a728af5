# Entry points for developers and CI. Each target installs or builds what it needs first.
.PHONY: all bootstrap native windows programs package test-native test-wine test demo gui

all: native windows

bootstrap:
	tools/bootstrap

native:
	cmake --preset native
	cmake --build --preset native

windows:
	cmake --preset windows
	cmake --build --preset windows

# The installer and the portable zip in build/package/. Every build of the windows preset makes
# them too, so `make test` goes red when a change breaks packaging.
package: bootstrap
	cmake --preset windows
	cmake --build --preset windows --target packages

test-native: native
	ctest --preset native

test-wine: windows
	ctest --preset windows

# Both suites run even when the first fails, so one run reports every failure.
test: bootstrap
	@native=0; wine=0; \
	$(MAKE) test-native || native=$$?; \
	$(MAKE) test-wine || wine=$$?; \
	echo "test: native suite $$( [ $$native = 0 ] && echo passed || echo FAILED )," \
	     "Wine suite $$( [ $$wine = 0 ] && echo passed || echo FAILED )"; \
	[ $$native = 0 ] && [ $$wine = 0 ]

# The three programs alone, without the test programs, benchmarks and packages of the windows
# preset: what the demo and the window run (and the writer of the demo's made-up browser profiles).
programs:
	cmake --preset windows
	cmake --build --preset windows --target keltora keltora-cli autostart keltora_browser_data

# Seeds a sandbox prefix with clutter and runs the full scan on it; `make gui` opens the window there.
demo: bootstrap programs
	tools/demo

gui: bootstrap programs
	tools/demo --gui

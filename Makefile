# Two entry points for a fresh Debian 12 machine:
#   make demo   install what is missing, build, run the main job on the demo database
#   make test   install what is missing, build, run every test
#   make package  the Debian package (build/tcese_<version>_<arch>.deb)
#   make asan   the core and generator tests under AddressSanitizer and UBSan (build-asan/)
# WERROR=ON (as .ci/run passes) turns warnings in our own code into errors.
PRESET ?= default
BUILD  := build
WERROR ?=

.PHONY: all deps configure build demo test asan bench package clean

all: build

deps:
	@sh tools/setup-deps.sh

configure: deps
	@if [ ! -f $(BUILD)/build.ninja ]; then cmake --preset $(PRESET) $(if $(WERROR),-DTCESE_WERROR=$(WERROR)); \
	elif [ -n "$(WERROR)" ]; then cmake $(BUILD) -DTCESE_WERROR=$(WERROR); fi

build: configure
	cmake --build --preset $(PRESET)

demo: build
	@sh tools/demo.sh $(BUILD)

# The server-mode test needs a Firebird server on loopback: started here when
# possible (root), and then required, so that it cannot be skipped silently.
test: build
	@if sh tools/firebird-server.sh; then \
		TCESE_REQUIRE_SERVER=1 ctest --preset $(PRESET); \
	else \
		ctest --preset $(PRESET); \
	fi

# Any finding of either sanitizer fails the run (options in the asan test preset).
asan: deps
	@if [ ! -f build-asan/build.ninja ]; then cmake --preset asan; fi
	cmake --build --preset asan
	ctest --preset asan

package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD) build-asan

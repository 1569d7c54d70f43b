# Two entry points for a fresh Debian 12 machine:
#   make demo   install what is missing, build, run the main job on the demo database
#   make test   install what is missing, build, run every test
#   make package  the Debian package (build/tcese_<version>_<arch>.deb)
PRESET ?= default
BUILD  := build

.PHONY: all deps configure build demo test bench package clean

all: build

deps:
	@sh tools/setup-deps.sh

configure: deps
	@if [ ! -f $(BUILD)/build.ninja ]; then cmake --preset $(PRESET); fi

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

package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD)

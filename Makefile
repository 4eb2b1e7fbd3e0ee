# Two commands for a fresh Debian machine:
#   make run    install what is missing, build, open the window with the sample roster
#   make test   install what is missing, build, run every test
BUILD     ?= build
PACKAGES  := g++ cmake make qt6-base-dev libgl-dev fonts-dejavu-core
JOBS      ?= $(shell nproc 2>/dev/null || echo 2)
SUDO      := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test build deps

deps:
	@missing=""; for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    $(SUDO) apt-get update -q && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

run:
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	    echo "Korvane needs a desktop to open its window, and no display was found (DISPLAY and WAYLAND_DISPLAY are unset)."; \
	    exit 1; \
	fi
	@$(MAKE) --no-print-directory build
	cd $(BUILD)/bin && ./korvane

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

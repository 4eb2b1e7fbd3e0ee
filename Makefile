# SPDX-License-Identifier: MIT
# Two commands for a fresh Debian machine:
#   make run    install what is missing, build, open the window with the sample roster
#   make test   install what is missing, build, run every test, then run them again under
#               AddressSanitizer and UndefinedBehaviorSanitizer
# Extras for developers:
#   make fuzz     fuzz the roster and RTF readers for FUZZ_SECONDS each (clang, libFuzzer)
#   make install  install into PREFIX with a launcher, a menu entry and an icon
#   make lint     run clang-tidy (.clang-tidy) over the sources of LINT_DIRS
#   make clean    remove the build folders this Makefile makes, keeping a roster saved there
BUILD       ?= build
ASAN_BUILD  ?= build-asan
FUZZ_BUILD  ?= build-fuzz
PACKAGES    := g++ cmake make qt6-base-dev libgl-dev fonts-dejavu-core fonts-dejavu-extra
FUZZ_PACKAGES := clang libclang-rt-14-dev
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)
SUDO        := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Fuzzing: seconds per target, and libFuzzer's limits per input. Inputs of up to 1 MB let in the
# large seeds (a table of 2,000 fonts, a roster line longer than a value may keep). AddressSanitizer's
# quarantine of freed memory is cut from 256 MB to 64 MB so that it does not eat most of the memory limit.
FUZZ_SECONDS ?= 60
FUZZ_FLAGS  := -timeout=1 -rss_limit_mb=512 -max_len=1048576 -print_final_stats=1
FUZZ_ASAN   := quarantine_size_mb=64

# Linting: the folders whose .cpp files, and the headers beside them, clang-tidy checks. Any folder
# of the build may be named, tests/search for one (fuzz/ is not in the build and is not checked).
# The compilation database is that of the Release build folder.
LINT_DIRS   ?= roster search rtf window app bench
LINT_BUILD  ?= $(BUILD)
LINT_PACKAGES := clang-tidy-14

# Installing: the program gets a folder of its own, as players.txt and help.rtf live beside it.
PREFIX      ?= $(HOME)/.local/share/korvane
BINDIR      ?= $(HOME)/.local/bin
APPSDIR     ?= $(HOME)/.local/share/applications
ICONDIR     ?= $(HOME)/.local/share/icons/hicolor/scalable/apps

.PHONY: run test test-sanitized build deps fuzz lint install uninstall clean

# Installs with apt-get whatever of $(PACKAGES) is missing.
deps:
	@missing=""; for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    $(SUDO) apt-get update -q && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q --no-install-recommends $$missing; \
	fi

# The Release build of everything: program, benchmark, tests.
build: deps
	cmake -S . -B "$(BUILD)" -DCMAKE_BUILD_TYPE=Release
	cmake --build "$(BUILD)" -j "$(JOBS)"

# Builds and opens the window; the roster and help file sit beside the program in $(BUILD)/bin.
run:
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	    echo "Korvane needs a desktop to open its window, and no display was found (DISPLAY and WAYLAND_DISPLAY are unset)."; \
	    exit 1; \
	fi
	@$(MAKE) --no-print-directory build
	cd "$(BUILD)/bin" && ./korvane

# The Release tests first, then the same tests under the sanitizers.
test: build
	cd "$(BUILD)" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(JOBS)"
	@$(MAKE) --no-print-directory test-sanitized

# The tests alone, built with -fsanitize=address,undefined in $(ASAN_BUILD). Any sanitizer report
# ends its test with a failure (tests/CMakeLists.txt sets the sanitizers' options for CTest).
test-sanitized: deps
	cmake -S . -B "$(ASAN_BUILD)" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_SANITIZE=ON
	cmake --build "$(ASAN_BUILD)" -j "$(JOBS)" --target korvane-tests
	cd "$(ASAN_BUILD)" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(JOBS)"

# Builds the libFuzzer targets of fuzz/ with clang and runs each for FUZZ_SECONDS on a copy of
# its seed corpus in fuzz/corpus/. Fails on any crash, leak, timeout or running out of memory;
# the input that did it is left in $(FUZZ_BUILD)/findings/.
fuzz:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PACKAGES) $(FUZZ_PACKAGES)"
	cmake -S fuzz -B "$(FUZZ_BUILD)" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++
	cmake --build "$(FUZZ_BUILD)" -j "$(JOBS)"
	@rm -rf "$(FUZZ_BUILD)/findings"; failed=""; \
	for target in roster rtf; do \
	    corpus="$(FUZZ_BUILD)/corpus/$$target"; \
	    rm -rf "$$corpus" && mkdir -p "$$corpus" "$(FUZZ_BUILD)/findings" && cp fuzz/corpus/$$target/* "$$corpus/"; \
	    echo "== fuzz_$$target for $(FUZZ_SECONDS) s"; \
	    ASAN_OPTIONS="$(FUZZ_ASAN)" LSAN_OPTIONS="suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0" \
	    "$(FUZZ_BUILD)/fuzz_$$target" $(FUZZ_FLAGS) -max_total_time="$(FUZZ_SECONDS)" \
	        -dict="fuzz/$$target.dict" -artifact_prefix="$(FUZZ_BUILD)/findings/$$target-" "$$corpus" \
	        || failed="$$failed fuzz_$$target"; \
	done; \
	if [ -n "$$failed" ]; then echo "Fuzzing found faults in:$$failed (inputs in '$(FUZZ_BUILD)/findings/')"; exit 1; fi; \
	echo "Fuzzing found nothing."

# Runs clang-tidy with .clang-tidy over every .cpp file of LINT_DIRS in the build, and over the
# headers in those folders that they include; any finding fails it. Configuring LINT_BUILD writes
# the compilation database. A test includes the moc file of its own class, so when LINT_DIRS names
# a folder of tests/ the moc files are generated first, which builds the libraries they link.
lint:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PACKAGES) $(LINT_PACKAGES)"
	cmake -S . -B "$(LINT_BUILD)" -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
	      -DCMAKE_GLOBAL_AUTOGEN_TARGET=ON
	@case " $(LINT_DIRS) " in *" tests"*) \
	    cmake --build "$(LINT_BUILD)" -j "$(JOBS)" --target autogen;; \
	esac
	@dirs=$$(echo "$(LINT_DIRS)" | tr -s ' ' '\n' | sed -e 's:/*$$::' -e '/^$$/d' | paste -sd '|'); \
	if [ -z "$$dirs" ]; then echo "LINT_DIRS names no folder."; exit 1; fi; \
	echo "== clang-tidy over $(LINT_DIRS)"; \
	run-clang-tidy-14 -p "$(LINT_BUILD)" -j "$(JOBS)" -quiet \
	    -header-filter="^$(CURDIR)/($$dirs)/[^/]*\.h$$" "^$(CURDIR)/($$dirs)/[^/]*\.cpp$$"

# Installs the program into PREFIX with help.rtf, and the sample roster only when PREFIX has no
# players.txt yet: a roster the user has saved is never overwritten. A launcher in BINDIR starts
# it; the menu entry and icon go where desktops look for a user's own. The rules are CMake's
# install() rules (app/CMakeLists.txt); the three folders outside PREFIX are given to CMake here.
install: build
	cmake -S . -B "$(BUILD)" -DKORVANE_BINDIR="$(abspath $(BINDIR))" \
	      -DKORVANE_APPSDIR="$(abspath $(APPSDIR))" -DKORVANE_ICONDIR="$(abspath $(ICONDIR))"
	cmake --install "$(BUILD)" --prefix "$(abspath $(PREFIX))"

# Removes what install put in place, except the roster and the folder that holds it.
uninstall:
	rm -f "$(PREFIX)/korvane" "$(PREFIX)/help.rtf" "$(BINDIR)/korvane" \
	      "$(APPSDIR)/korvane.desktop" "$(ICONDIR)/korvane.svg"

# Every folder variable is quoted where the shell sees it, so that BUILD="my build" names one folder.
# Removes the build folders this Makefile makes, but never a roster saved in one: make run keeps
# it in $(BUILD)/bin/players.txt. A players.txt that differs from the sample roster stays, alone
# in its bin folder; the next build leaves it as it is.
clean:
	@for dir in "$(BUILD)" "$(ASAN_BUILD)" "$(FUZZ_BUILD)"; do \
	    roster="$$dir/bin/players.txt"; \
	    if [ -f "$$roster" ] && ! cmp -s "$$roster" data/players.txt; then \
	        find "$$dir" -mindepth 1 -maxdepth 1 ! -name bin -exec rm -rf {} +; \
	        find "$$dir/bin" -mindepth 1 -maxdepth 1 ! -name players.txt -exec rm -rf {} +; \
	        echo "Kept the roster $$roster; the rest of $$dir is removed."; \
	    else \
	        rm -rf "$$dir"; \
	    fi; \
	done

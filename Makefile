# Two commands: `make test` (every test) and `make demo` (the main job), and
# `make tools` for someone who only wants to make savers. Each first runs
# `make setup`, which installs what is missing.
SHELL := /bin/bash
JOBS ?= 2
NATIVE := build/native
WIN32 := build/win32
WIN64 := build/win64
# The Windows tests and the demo run the 32-bit product under 32-bit Wine
# where this machine's kernel runs 32-bit programs, else the same sources
# built for x86_64 under 64-bit Wine.
WINRUN = $(shell /usr/lib/wine/wine --version >/dev/null 2>&1 && echo $(WIN32) || echo $(WIN64))

.PHONY: setup native win32 win64 wintree test demo clean bench tools dist

setup:
	@bash scripts/setup

native:
	@cmake -S . -B $(NATIVE) -G "Unix Makefiles" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

win32:
	@cmake -S . -B $(WIN32) -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	  -DVK_NATIVE_DIR=$(CURDIR)/$(NATIVE) >/dev/null
	@cmake --build $(WIN32) -j$(JOBS)

win64: win32
	@cmake -S . -B $(WIN64) -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
	  -DVK_PRODUCT_DIR=$(CURDIR)/$(WIN32)/bin -DVK_NATIVE_DIR=$(CURDIR)/$(NATIVE) >/dev/null
	@cmake --build $(WIN64) -j$(JOBS)

# The product tree, and the x86_64 tree too where 32-bit programs cannot run.
wintree:
	@$(MAKE) --no-print-directory $(if $(filter $(WIN32),$(WINRUN)),win32,win64)

# Benchmarks in their own unsanitised tree, then the comparison with djpeg and ImageMagick.
BENCH := build/bench
bench:
	@cmake -S . -B $(BENCH) -G "Unix Makefiles" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=Release -DVK_SANITIZE=OFF -DVK_FUZZ=OFF -DVK_BENCH=ON >/dev/null
	@cmake --build $(BENCH) -j$(JOBS) --target vk_bench
	@bash bench/compare.sh $(BENCH)

# What a saver maker needs, in one folder: vormkit-pack (an optimised native
# build) and vormkit-pack.exe beside the 32-bit player and its plug-ins, where
# the tool finds them by default.
RELEASE := build/release
TOOLS := build/tools
tools: setup
	@cmake -S . -B $(RELEASE) -G "Unix Makefiles" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=Release -DVK_SANITIZE=OFF -DVK_FUZZ=OFF >/dev/null
	@cmake --build $(RELEASE) -j$(JOBS) --target vormkit-pack
	@$(MAKE) --no-print-directory win32
	@mkdir -p $(TOOLS)
	@cp $(RELEASE)/tools/pack/vormkit-pack $(WIN32)/bin/vormkit-pack.exe $(WIN32)/bin/vormkit-setup.exe $(WIN32)/bin/VORMKIT.scr \
	  $(WIN32)/bin/vormkit-editor.exe \
	  $(WIN32)/bin/nijimu.tns $(WIN32)/bin/QUADRIL.tns $(WIN32)/bin/melt.tns $(WIN32)/bin/gray.tns \
	  $(WIN32)/bin/VELLUX.tns $(WIN32)/bin/diffuse.tns $(TOOLS)/
	@echo "the tools are in $(TOOLS): vormkit-pack folder DIR -o NAME.scr"

# VORMKIT for Windows users: a zip and a set-up program in build/dist, at the
# version the project is built as (CMake's PROJECT_VERSION).
DIST := build/dist
dist: setup
	@$(MAKE) --no-print-directory native win32
	@bash scripts/make-dist $(WIN32)/bin $(NATIVE)/tools/pack/vormkit-pack $(DIST) \
	  "$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' $(WIN32)/CMakeCache.txt)"

test: setup
	@$(MAKE) --no-print-directory native wintree
	@bash scripts/run-tests $(NATIVE) $(WINRUN)

demo: setup
	@$(MAKE) --no-print-directory native wintree
	@bash scripts/demo $(WINRUN)

clean:
	rm -rf $(NATIVE) $(WIN32) $(WIN64) $(RELEASE) $(TOOLS) $(DIST)

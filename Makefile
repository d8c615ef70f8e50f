# Two commands: `make test` (every test) and `make demo` (the main job), and
# `make tools` for someone who only wants to make savers. Each first runs
# `make setup`, which installs what is missing.
SHELL := /bin/bash
JOBS ?= 2
NATIVE := build/native
WIN32 := build/win32
WIN64 := build/win64

.PHONY: setup native win32 win64 test demo clean bench tools

setup:
	@bash scripts/setup

native:
	@cmake -S . -B $(NATIVE) -G "Unix Makefiles" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

win32:
	@cmake -S . -B $(WIN32) -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
	@cmake --build $(WIN32) -j$(JOBS)

win64: win32
	@cmake -S . -B $(WIN64) -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
	  -DVK_PRODUCT_DIR=$(CURDIR)/$(WIN32)/bin -DVK_NATIVE_DIR=$(CURDIR)/$(NATIVE) >/dev/null
	@bash scripts/with-display cmake --build $(WIN64) -j$(JOBS)

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
	@cp $(RELEASE)/tools/pack/vormkit-pack $(WIN32)/bin/vormkit-pack.exe $(WIN32)/bin/VORMKIT.scr \
	  $(WIN32)/bin/nijimu.tns $(WIN32)/bin/QUADRIL.tns $(WIN32)/bin/melt.tns $(WIN32)/bin/gray.tns \
	  $(WIN32)/bin/VELLUX.tns $(WIN32)/bin/diffuse.tns $(TOOLS)/
	@echo "the tools are in $(TOOLS): vormkit-pack folder DIR -o NAME.scr"

test: setup
	@$(MAKE) --no-print-directory native win64
	@bash scripts/run-tests $(NATIVE) $(WIN64)

demo: setup
	@$(MAKE) --no-print-directory native win64
	@bash scripts/demo

clean:
	rm -rf $(NATIVE) $(WIN32) $(WIN64) $(RELEASE) $(TOOLS)

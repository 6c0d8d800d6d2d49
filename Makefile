# The two commands of the README, and a few more. CMake does the building.
.PHONY: all setup native win32 test test-native test-win32 test-fuzz run dist fuzz bench format clean

WINE_TEST_PREFIX := $(CURDIR)/build/wine-test
FUZZ_SECONDS ?= 600
TEST_FUZZ_SECONDS ?= 45

all: native win32

setup:
	@scripts/setup.sh

native: setup
	cmake --preset native >/dev/null
	cmake --build --preset native

win32: setup
	cmake --preset win32 >/dev/null
	cmake --build --preset win32

test: native win32
	$(MAKE) --no-print-directory test-native
	$(MAKE) --no-print-directory test-win32
	$(MAKE) --no-print-directory test-fuzz

test-native:
	ctest --preset native

# A short run of every fuzzer on the committed seeds; `make fuzz` runs longer.
test-fuzz: setup
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	scripts/run-fuzzers.sh $(TEST_FUZZ_SECONDS)

# A fresh prefix every run, so that no registry value or atom of an earlier
# run can make a test pass; removed afterwards (it takes over a gigabyte).
test-win32:
	rm -rf $(WINE_TEST_PREFIX)
	WINEPREFIX=$(WINE_TEST_PREFIX) scripts/with-wine.sh scripts/run-win32-tests.sh; \
	  rc=$$?; rm -rf $(WINE_TEST_PREFIX); exit $$rc

run: win32
	ZT_DISPLAY=user scripts/with-wine.sh wine build/win32/ztrop32.exe $(ARGS)

# What a user unpacks and runs: the exe, plugins\ and a short guide.
DIST_ZIP := dist/zentrop-2.01.zip
dist: win32
	rm -rf build/dist $(DIST_ZIP)
	mkdir -p build/dist/Zentrop/plugins dist
	cp build/win32/ztrop32.exe build/dist/Zentrop/
	cp build/win32/plugins/*.dll build/dist/Zentrop/plugins/
	sed 's/$$/\r/' docs/USER-GUIDE.txt > build/dist/Zentrop/README.txt
	cd build/dist && zip -qr9 ../../$(DIST_ZIP) Zentrop
	@unzip -l $(DIST_ZIP)

# The libFuzzer targets, each for FUZZ_SECONDS on the committed seed corpus.
fuzz: setup
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	scripts/run-fuzzers.sh $(FUZZ_SECONDS)

# ztrop32.exe against the floor under Wine, and the native benchmarks; writes
# docs/PERFORMANCE.md. Takes several minutes; not part of make test.
bench: setup
	bench/run.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build

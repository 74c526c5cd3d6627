# Drives CMake. `make` and `make install` build the programs in build/, and `make demo` only
# pelitor and the example generator, all without tests (GoogleTest is not needed for them);
# `make check` builds the tests in build-check/ and runs every test twice, once as built for
# release and once under AddressSanitizer and UndefinedBehaviorSanitizer.

GENERATOR := $(if $(shell command -v ninja),-G Ninja,)
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local

CONFIGURE := cmake -S . -B build $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
CHECK_CONFIGURE := cmake -S . -B build-check $(GENERATOR) -DCMAKE_BUILD_TYPE=Release
WINE_ENV := WINEPREFIX='$(CURDIR)/build-windows/wineprefix' WINEDEBUG=-all LANG=C.UTF-8
# pelitor-send.exe and pelitor-receive.exe are tested on a stand-in for winmm.dll, which carries
# their MIDI bytes to and from a pseudo-terminal: copies of them sit in a folder of its own with
# it, never beside the programs built for users. These process tests run against them.
STAND_IN := $(CURDIR)/build-windows/stand-in
WINDOWS_PORT_TESTS := Sender.ClosedLoopDeliversTheFileByteForByte:$\
  Sender.ResendsAPacketTheSamplerRefused:Sender.StopsWhenTheSamplerCancels:$\
  Sender.GoesOnInOpenLoopWhenTheSamplerIsSilent:Sender.CtrlCSendsCancelAndRestoresTheTerminal:$\
  Sender.OnWindowsTakesOutputsAndInputsByNameOrNumber:$\
  ReceiveFromPort.TakesTheDumpWithTheHandshakeOrRefusesIt:$\
  ReceiveFromPort.CtrlCSendsCancelAndWritesNothing:$\
  ReceiveFromPort.TakesWhatPelitorSendSendsByteForByte
STAND_IN_ENV := WINEDLLOVERRIDES=winmm=n PELITOR_SEND_COMMAND='wine $(STAND_IN)/pelitor-send.exe' \
  PELITOR_RECEIVE_COMMAND='wine $(STAND_IN)/pelitor-receive.exe' PELITOR_PORT_NAME='Stand-in MIDI' \
  PELITOR_CRLF=1

.PHONY: all build test-build demo check check-sanitized check-portable check-windows fuzz bench \
  bench-send install clean

all: build

build:
	$(CONFIGURE)
	cmake --build build

test-build:
	$(CHECK_CONFIGURE)
	cmake --build build-check

demo:
	$(CONFIGURE)
	cmake --build build --target pelitor make_example_wav
	build/make_example_wav examples/tone.wav
	@echo '--- pelitor examples/tone.wav'
	@build/pelitor examples/tone.wav
	@ls -l examples/tone.sds

check: test-build
	ctest --test-dir build-check --output-on-failure
	$(MAKE) check-sanitized

check-sanitized:
	cmake -S . -B build-sanitize $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DPELITOR_SANITIZE=ON
	cmake --build build-sanitize
	ctest --test-dir build-sanitize --output-on-failure

# The POSIX build without Linux's own calls, as other systems get it: the fallbacks (a named
# temporary file beside the output, and the rest) through every test.
check-portable:
	cmake -S . -B build-portable $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DPELITOR_LINUX_CALLS=OFF
	cmake --build build-portable
	ctest --test-dir build-portable --output-on-failure

# Cross-builds the three programs with MinGW-w64 and runs under Wine the converter's end-to-end
# tests, then the MIDI programs' process tests on the stand-in. One Wine server serves every
# run, its log kept out of the tests' output: a server that each run starts and that lingers
# after it can be on its way out just as the next run connects. One left from a run that was
# stopped is ended first.
check-windows:
	$(CHECK_CONFIGURE)
	cmake --build build-check --target end_to_end_tests send_process_tests receive_process_tests
	cmake -S . -B build-windows $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
	cmake --build build-windows --target pelitor pelitor-send pelitor-receive \
	  interrupt_window_probe winmm_stand_in stand_in_programs
	test -d build-windows/wineprefix || { $(WINE_ENV) wineboot --init >/dev/null 2>&1 && $(WINE_ENV) wineserver --wait; }
	$(WINE_ENV) wineserver -k 2>/dev/null; $(WINE_ENV) wineserver --wait
	$(WINE_ENV) wineserver -p 2>/dev/null
	status=0; \
	$(WINE_ENV) PELITOR_COMMAND="wine '$(CURDIR)/build-windows/pelitor.exe'" PELITOR_CRLF=1 \
	  PELITOR_INTERRUPT_PROBE="wine '$(CURDIR)/build-windows/interrupt_window_probe.exe'" \
	  build-check/tests/end_to_end_tests || status=1; \
	for tests in send_process_tests receive_process_tests; do \
	  $(WINE_ENV) $(STAND_IN_ENV) build-check/tests/$$tests --gtest_filter='$(WINDOWS_PORT_TESTS)' \
	    || status=1; \
	done; \
	$(WINE_ENV) wineserver -k; exit $$status

fuzz:
	cmake -S . -B build-fuzz $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DPELITOR_FUZZ=ON -DBUILD_TESTING=OFF
	cmake --build build-fuzz --target conversion_fuzzer make_seed_corpus
	build-fuzz/make_seed_corpus build-fuzz/seeds
	mkdir -p build-fuzz/corpus build-fuzz/findings
	build-fuzz/conversion_fuzzer -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=build-fuzz/findings/ build-fuzz/corpus build-fuzz/seeds

# Times the release build against sndfile-convert on generated files of up to the largest size.
bench: build
	cmake --build build --target pelitor_bench
	build/pelitor_bench build/pelitor

# Times pelitor-send over a pseudo-terminal against a simulated sampler, closed and open loop,
# and pelitor-receive taking a dump from one.
bench-send: build
	cmake --build build --target pelitor_send_bench pelitor_receive_bench
	build/pelitor_send_bench build/pelitor-send
	build/pelitor_receive_bench build/pelitor-receive

install: build
	cmake --install build --prefix $(PREFIX)

clean:
	rm -rf build build-check build-sanitize build-portable build-fuzz build-windows examples/*.wav examples/*.sds

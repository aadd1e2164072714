# Thin wrapper around CMake. `make demo` and `make test` are the quick start.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
BENCH_BUILD ?= build-bench
BENCH_OWN_BUILD ?= build-bench-own
JOBS       ?= $(shell nproc)
CMAKE      ?= cmake
PREFIX     ?= /usr/local
# The big integers' kernel: gmp or own; empty keeps the build's choice (gmp where found).
KERNEL     ?=
SAN_KERNEL ?= $(KERNEL)
kernel_flag = $(if $(1),-DVELMORA_KERNEL=$(1))
# The matrix product of the per-prime kernel: openblas, blas or own; empty keeps the
# build's choice (openblas where found).
BLAS       ?=
SAN_BLAS   ?= $(BLAS)
blas_flag = $(if $(1),-DVELMORA_BLAS=$(1))

.PHONY: all configure test demo install package sanitize tsan valgrind stress bench fuzz clean

all: configure
	$(CMAKE) --build $(BUILD) -j $(JOBS)

configure:
	@$(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(call kernel_flag,$(KERNEL)) $(call blas_flag,$(BLAS)) >/dev/null

# The tests need GoogleTest and, as an independent oracle, GMP: what is missing is
# installed where this machine lets us, else one line names it (GMP is optional).
test:
	@sh scripts/install_missing.sh "make test" libgtest-dev -- libgmp-dev libopenblas-serial-dev
	@$(MAKE) --no-print-directory all
	@if [ -f $(BUILD)/tests-skipped ]; then \
	  echo "make test needs GoogleTest (libgtest-dev on Debian and Ubuntu, gtest elsewhere)"; exit 1; fi
	cd $(BUILD) && ctest --output-on-failure --no-tests=error -j $(JOBS)

# Needs only a C++ compiler, CMake and make, and builds only the program it runs. The
# movie's frames are drawn for a UTF-8 terminal.
demo: configure
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target zerk
	./$(BUILD)/zerk --all --movie --utf8 < examples/demo.in

# The programs, the library with its headers, the manual pages and the package
# configurations for find_package(Velmora) and pkg-config, under PREFIX.
install: all
	$(CMAKE) --install $(BUILD) --prefix $(PREFIX)

# A Debian package of all that, in $(BUILD).
package: all
	cd $(BUILD) && cpack -G DEB

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer;
# any report fails the run. SAN_KERNEL and SAN_BLAS choose its kernels (as KERNEL and BLAS
# do for make all).
sanitize:
	@$(CMAKE) -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON $(call kernel_flag,$(SAN_KERNEL)) \
	  $(call blas_flag,$(SAN_BLAS)) >/dev/null
	$(CMAKE) --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure --no-tests=error -j $(JOBS)

# Every test of the engine's layers (modular, reconstruct, engine), the driver and diag,
# built with ThreadSanitizer and run on four threads; any report fails the run. The tests
# are chosen by their folder's label, so a new suite in those folders is run too.
TSAN_BUILD ?= build-tsan
TSAN_FOLDERS := modular reconstruct engine driver diag
empty :=
space := $(empty) $(empty)
tsan:
	@$(CMAKE) -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_TSAN=ON >/dev/null
	$(CMAKE) --build $(TSAN_BUILD) -j $(JOBS) --target $(addsuffix _tests,$(TSAN_FOLDERS))
	cd $(TSAN_BUILD) && VELMORA_THREADS=4 TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	  ctest --output-on-failure --no-tests=error -j $(JOBS) -L '^($(subst $(space),|,$(TSAN_FOLDERS)))$$'

# Benchmarks beside GMP, in Release builds of their own; needs Google Benchmark and GMP. The
# big_int table on the own kernel first, then on the build's kernel (gmp unless KERNEL says
# otherwise) with the programs' table.
bench:
	@missing=""; \
	for pkg in libbenchmark-dev libgmp-dev; do \
	  dpkg -s $$pkg >/dev/null 2>&1 || missing="$$missing $$pkg"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "make bench needs:$$missing. Install with:"; \
	  echo "apt-get install$$missing"; \
	  exit 1; \
	fi
	@dpkg -s libflint-dev >/dev/null 2>&1 || \
	  echo "The FLINT column stays empty without libflint-dev: apt-get install libflint-dev"
	@$(CMAKE) -S . -B $(BENCH_OWN_BUILD) -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON -DVELMORA_TESTS=OFF \
	  -DVELMORA_KERNEL=own >/dev/null
	$(CMAKE) --build $(BENCH_OWN_BUILD) -j $(JOBS) --target bigint_bench
	./$(BENCH_OWN_BUILD)/bigint_bench
	@$(CMAKE) -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON -DVELMORA_TESTS=OFF \
	  $(call kernel_flag,$(KERNEL)) >/dev/null
	$(CMAKE) --build $(BENCH_BUILD) -j $(JOBS)
	@$(CMAKE) --build $(BENCH_BUILD) --target run_benchmarks

# Heavy inputs (the largest matrix, a million-digit entry) with their time and peak memory.
stress: all
	sh tests/stress/stress.sh $(BUILD)

# Every golden case again with each program run under valgrind's memory checker; any
# error or leak (definite, indirect or possible) fails its case.
VALGRIND_BUILD ?= build-valgrind
valgrind:
	@command -v valgrind >/dev/null || { echo "make valgrind needs valgrind. Install with:"; \
	  echo "apt-get install valgrind"; exit 1; }
	@$(CMAKE) -S . -B $(VALGRIND_BUILD) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	$(CMAKE) --build $(VALGRIND_BUILD) -j $(JOBS) --target zerk zerkint golden_runner
	cd $(VALGRIND_BUILD) && VELMORA_GOLDEN_WRAPPER="valgrind -q --leak-check=full \
	  --errors-for-leak-kinds=definite,indirect,possible --error-exitcode=99" \
	  ctest -L golden --output-on-failure -j $(JOBS)

# Coverage-guided fuzzing with libFuzzer, FUZZ_SECONDS per target, starting from the
# committed corpora in fuzz/corpus. New inputs go to $(FUZZ_BUILD)/corpus, findings
# (crash-*, leak-*, timeout-*) to $(FUZZ_BUILD)/findings.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 45
FUZZ_TARGETS := bigint_reader rational_reader matrix_reader program_run engine_differential
fuzz:
	@missing=""; \
	for pkg in clang-14 libclang-rt-14-dev; do \
	  dpkg -s $$pkg >/dev/null 2>&1 || missing="$$missing $$pkg"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "make fuzz needs:$$missing. Install with:"; \
	  echo "apt-get install$$missing"; \
	  exit 1; \
	fi
	@$(CMAKE) -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVELMORA_FUZZ=ON -DVELMORA_SANITIZE=ON -DVELMORA_TESTS=OFF >/dev/null
	$(CMAKE) --build $(FUZZ_BUILD) -j $(JOBS)
	@mkdir -p $(FUZZ_BUILD)/findings
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t; \
	  echo "== fuzzing $$t for $(FUZZ_SECONDS) s"; \
	  ./$(FUZZ_BUILD)/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -timeout=20 \
	    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/findings/$$t- \
	    $(FUZZ_BUILD)/corpus/$$t fuzz/corpus/$$t 2>&1 | tail -n 12 || exit 1; \
	done
	@echo "no findings: $(FUZZ_BUILD)/findings is empty"; [ -z "$$(ls $(FUZZ_BUILD)/findings)" ]

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD) $(BENCH_OWN_BUILD) $(VALGRIND_BUILD)

# Thin wrapper around CMake. `make demo` and `make test` are the quick start.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
BENCH_BUILD ?= build-bench
JOBS       ?= $(shell nproc)
CMAKE      ?= cmake
PREFIX     ?= /usr/local

.PHONY: all configure test demo install package sanitize bench clean

all: configure
	$(CMAKE) --build $(BUILD) -j $(JOBS)

configure:
	@$(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null

test: all
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The movie's frames are code page 437 bytes; shown converted for a UTF-8 terminal.
demo: all
	@./$(BUILD)/zerk --all --movie < examples/demo.in > $(BUILD)/demo.out; status=$$?; \
	  iconv -f CP437 -t UTF-8 < $(BUILD)/demo.out; exit $$status

# The programs, the library with its headers, the manual pages and the package
# configurations for find_package(Velmora) and pkg-config, under PREFIX.
install: all
	$(CMAKE) --install $(BUILD) --prefix $(PREFIX)

# A Debian package of all that, in $(BUILD).
package: all
	cd $(BUILD) && cpack -G DEB

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer;
# any report fails the run.
sanitize:
	@$(CMAKE) -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON >/dev/null
	$(CMAKE) --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# Benchmarks beside GMP, in a Release build of their own; needs Google Benchmark and GMP.
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
	@$(CMAKE) -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON -DVELMORA_TESTS=OFF >/dev/null
	$(CMAKE) --build $(BENCH_BUILD) -j $(JOBS)
	@$(CMAKE) --build $(BENCH_BUILD) --target run_benchmarks

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(BENCH_BUILD)

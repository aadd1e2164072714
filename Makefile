# Thin wrapper around CMake. `make demo` and `make test` are the quick start.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
JOBS       ?= $(shell nproc)
CMAKE      ?= cmake

.PHONY: all configure test demo sanitize bench clean

all: configure
	$(CMAKE) --build $(BUILD) -j $(JOBS)

configure:
	@$(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null

test: all
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: all
	./$(BUILD)/zerk --all --movie < examples/demo.in

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer;
# any report fails the run.
sanitize:
	@$(CMAKE) -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON >/dev/null
	$(CMAKE) --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

bench:
	@echo "no benchmarks yet"

clean:
	rm -rf $(BUILD) $(SAN_BUILD)

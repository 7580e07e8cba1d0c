# Front door of the build. The real work is done by CMake and ctest.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
COV_BUILD  ?= build-cov
JOBS       ?= 2
FUZZ_SECONDS ?= 20
BENCH_MEMBERS ?= 20000
BENCH_REPEAT ?= 3
BENCH_CORPUS ?= $(BUILD)/bench-corpus
GENERATOR  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: build demo test asan coverage fuzz corpus bench clean

build:
	@tools/install-dependencies.sh
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

# Analyses the bundled example (examples/README.md) and prints its import file.
demo: build
	@rm -f $(BUILD)/demo.import $(BUILD)/demo.log
	@cd examples && env -u DD:RDPRINT 'DD:FILELIST=filelist.txt' 'DD:JCLLIB=jcllib.txt' \
	    'DD:XLATLIBS=xlatlibs.txt' 'DD:ATTRBOUT=$(CURDIR)/$(BUILD)/demo.import' \
	    'DD:RDPRINT=$(CURDIR)/$(BUILD)/demo.log' $(CURDIR)/$(BUILD)/bin/kvr4000; \
	    echo "== kvr4000 exit code $$? (log: $(BUILD)/demo.log)"
	@cat $(BUILD)/demo.import

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# Throughput: generates the full corpus and its tenth (again only when missing, of another
# size or older than the generator), then times kvr4000 against cat and wc -l over them,
# kvr-xref's load and questions on the full corpus' import file, and the full corpus copied
# as IBM-1047 records (the same import file, at most 10% more time).
bench: build
	@gen=$(BUILD)/bin/kvr_bench_generate; \
	for size in full:$(BENCH_MEMBERS) tenth:$$(($(BENCH_MEMBERS) / 10)); do \
	    dir=$(BENCH_CORPUS)/$${size%%:*}; members=$${size#*:}; \
	    if [ ! -f $$dir/filelist.txt ] || [ $$gen -nt $$dir/filelist.txt ] || \
	       [ "$$(wc -l < $$dir/filelist.txt)" -ne $$members ]; then \
	        echo "== generating $$dir"; mkdir -p $$dir && $$gen $$dir $$members || exit 1; \
	    fi; \
	done
	$(BUILD)/bin/kvr_bench_run $(BUILD)/bin/kvr4000 $(BENCH_CORPUS)/full $(BENCH_CORPUS)/tenth \
	    $(BUILD)/bench-out $(BENCH_REPEAT)
	$(BUILD)/bin/kvr_xref_bench $(BUILD)/bin/kvr4000 $(BUILD)/bin/kvr-xref $(BENCH_CORPUS)/full \
	    $(BUILD)/bench-out $(BENCH_REPEAT)
	$(BUILD)/bin/kvr_bench_ebcdic $(BUILD)/bin/kvr4000 $(BENCH_CORPUS)/full $(BUILD)/bench-out \
	    $(BENCH_REPEAT) 10

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
asan:
	cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DKVR_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# The analyzer over the real-JCL corpus beside the repository (../shared/corpus): no crash,
# every member framed, XML well-formed, and the counts as the corpus has them or listed in
# tests/corpus/known-differences.md.
corpus: build
	tests/corpus/check_corpus.sh $(CURDIR)/$(BUILD)/bin/kvr4000 $(CURDIR)/$(BUILD)/corpus

# Line coverage of common/ and analyzer/ under the whole suite (make test's ctest), in a
# build of its own; gcovr comes from Debian when it is missing. The figures per folder
# and overall are printed and kept in $(COV_BUILD)/coverage.txt.
coverage:
	@command -v gcovr >/dev/null 2>&1 || { apt-get update -qq && apt-get install -y -qq gcovr; }
	cmake -S . -B $(COV_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DKVR_COVERAGE=ON
	cmake --build $(COV_BUILD) -j $(JOBS)
	@find $(COV_BUILD) -name '*.gcda' -delete
	-ctest --test-dir $(COV_BUILD) --output-on-failure -j $(JOBS)
	gcovr -r . --object-directory $(COV_BUILD) --filter 'common/' --filter 'analyzer/' \
	    -j $(JOBS) --json-summary $(COV_BUILD)/coverage.json
	@python3 tests/coverage_summary.py $(COV_BUILD)/coverage.json | tee $(COV_BUILD)/coverage.txt

# Builds every libFuzzer target with clang and runs each for FUZZ_SECONDS, seeded from
# tests/fuzz/seeds/<target> (and the whole-program target from the real-JCL corpus).
fuzz:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DKVR_FUZZ=ON -DKVR_TESTS=OFF -DKVR_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target kvr_fuzz_targets
	@rm -rf $(FUZZ_BUILD)/seeds && cp -r tests/fuzz/seeds $(FUZZ_BUILD)/seeds
	@tests/fuzz/corpus_seeds.sh $(FUZZ_BUILD)/seeds/pipeline_fuzz
	@for target in $(FUZZ_BUILD)/fuzz/*_fuzz; do \
	    name=$$(basename $$target); \
	    echo "== $$name ($(FUZZ_SECONDS) s)"; \
	    mkdir -p $(CURDIR)/$(FUZZ_BUILD)/corpus/$$name; \
	    seeds=$(CURDIR)/$(FUZZ_BUILD)/seeds/$$name; [ -d $$seeds ] || seeds=; \
	    KVRMSGPATH=$(CURDIR)/messages $$target -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	        -artifact_prefix=$(CURDIR)/$(FUZZ_BUILD)/$$name- $(CURDIR)/$(FUZZ_BUILD)/corpus/$$name \
	        $$seeds > $(FUZZ_BUILD)/$$name.log 2>&1; \
	    status=$$?; tail -n 6 $(FUZZ_BUILD)/$$name.log; \
	    if [ $$status -ne 0 ]; then echo "$$name failed"; exit 1; fi; \
	done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(COV_BUILD)

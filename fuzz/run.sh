#!/usr/bin/env bash
# Builds the fuzz target in build-fuzz and fuzzes for a bounded time.
#
#   fuzz/run.sh SECONDS [extra libFuzzer options]
#
# One process on one core. The corpus grows in build-fuzz/corpus across runs
# and is seeded from the test scripts each time. The fuzzer runs from a
# scratch directory, so files that fuzzed scripts open for writing land there.
# Any crash, sanitizer report, leak, timeout or memory blow-up ends the run
# with a non-zero status and leaves the input in build-fuzz/findings. Standard
# input is empty, so a script opening it cannot wait for a terminal.
set -euo pipefail
seconds=${1:?usage: fuzz/run.sh SECONDS [libFuzzer options]}
shift
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz

cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j2 >/dev/null

corpus=$build/corpus
findings=$build/findings
mkdir -p "$corpus" "$findings"
bash "$root/fuzz/seed_corpus.sh" "$corpus"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1 \
  "$build/fuzz_script" "$corpus" \
    -dict="$root/fuzz/kelpa.dict" \
    -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
    -detect_leaks=1 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$@" </dev/null

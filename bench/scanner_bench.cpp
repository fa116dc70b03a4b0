// Scanner microbenchmark: tokens per second of next_token over a large
// script text, built from the benchmark scripts repeated to about 1 MiB and
// loaded afresh for every pass, and over one short loop body scanned again
// and again as a running loop does.
// Not a test: run build-bench/bench/kelpa_scanner_bench.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "interp/state.h"
#include "kelpa/kelpa.h"
#include "lexer/scanner.h"

namespace {

constexpr std::size_t TARGET_BYTES = 1 << 20;

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every .kel file of the suite, concatenated, repeated up to TARGET_BYTES.
std::string large_script() {
  std::string one;
  for (const auto& entry : std::filesystem::directory_iterator(KELPA_BENCH_SCRIPTS)) {
    if (entry.path().extension() == ".kel") one += read_file(entry.path()) + "\n";
  }
  if (one.empty()) return one;
  std::string all;
  while (all.size() < TARGET_BYTES) all += one;
  return all;
}

// Registers `text` as the only source of a fresh interpreter; returns the
// start of the interpreter's copy, or null when it was refused.
char* load(const std::string& text) {
  kelpa::release_interpreter();
  if (!kelpa::add_source_buffer(const_cast<char*>(text.data()), static_cast<std::int32_t>(text.size()), 1))
    return nullptr;
  return kelpa::interp.source_table[0]->text;
}

// Scans from `start` to the end of its text; returns the number of tokens.
std::int64_t scan_all(char* start) {
  kelpa::interp.cursor = start;
  std::int64_t tokens = 0;
  while (kelpa::next_token() != kelpa::TK_END) ++tokens;
  return tokens;
}

// With `fresh`, every pass scans a newly loaded text, as the first pass over
// a script does; otherwise the same text is scanned again and again, as a
// running loop does. Loading is not timed.
void run_scan(benchmark::State& state, const std::string& text, bool fresh) {
  char* start = load(text);
  if (!start) {
    state.SkipWithError("the script text was refused");
    return;
  }
  std::int64_t tokens = 0;
  for (auto _ : state) {
    if (fresh) {
      state.PauseTiming();
      start = load(text);
      state.ResumeTiming();
    }
    tokens += scan_all(start);
    benchmark::DoNotOptimize(kelpa::interp.token_text[0]);
  }
  state.SetItemsProcessed(tokens);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["tokens_per_pass"] =
      static_cast<double>(tokens) / static_cast<double>(state.iterations() ? state.iterations() : 1);
  kelpa::release_interpreter();
}

void BM_scan_large_script(benchmark::State& state) {
  static const std::string text = large_script();
  if (text.empty()) {
    state.SkipWithError("no .kel scripts found in " KELPA_BENCH_SCRIPTS);
    return;
  }
  run_scan(state, text, true);
}
BENCHMARK(BM_scan_large_script)->Unit(benchmark::kMillisecond);

// The body of the loops benchmark: short names, numbers and operators, the
// mix a running loop re-scans on every iteration.
void BM_scan_loop_body(benchmark::State& state) {
  static const std::string text = "s = (s + i * j + (j ^ k) + k) % 1000003; k++; k < 100;\n";
  run_scan(state, text, false);
}
BENCHMARK(BM_scan_loop_body);

}  // namespace

BENCHMARK_MAIN();

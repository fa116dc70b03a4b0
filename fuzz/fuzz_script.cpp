// Fuzz target: every input is one script. The bytes are registered as an
// in-memory source, `main` is run, script errors and `exit` are caught, and
// the interpreter is released so the next input starts from nothing. Console
// output goes to a null sink and console input reads an empty stream.
//
// Fuzz builds define KELPA_FUZZ, which gives each run a budget of executed
// statements: an endless loop ends with a script error instead of a hang.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "kelpa/kelpa.h"

namespace {

// Inputs beyond this are cut: the scanner's cost grows with the text, and
// long inputs only slow the search down.
constexpr std::size_t MAX_SCRIPT = 1 << 20;

void route_console() {
  static std::FILE* sink = std::fopen("/dev/null", "w");
  static std::FILE* empty = std::fopen("/dev/null", "r");
  kelpa::set_console(sink, empty);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  route_console();
  if (size > MAX_SCRIPT) size = MAX_SCRIPT;
  // The interpreter copies the text; the copy keeps the input's own bytes.
  std::vector<char> text(data, data + size);
  text.push_back(0);
  try {
    if (kelpa::add_source_buffer(text.data(), static_cast<std::int32_t>(size), 1))
      kelpa::run_function("main", 0, nullptr);
  } catch (const kelpa::ScriptError&) {
  } catch (const kelpa::ScriptExit&) {
  }
  kelpa::release_interpreter();
  return 0;
}

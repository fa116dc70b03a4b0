// Helpers shared by the unit tests: a fresh interpreter over an in-memory
// source, with console output captured and console input supplied.
#ifndef KELPA_TESTS_HARNESS_H
#define KELPA_TESTS_HARNESS_H

#include <cstdio>
#include <string>

#include "interp/state.h"
#include "kelpa/kelpa.h"

namespace kelpa::test {

// Captures everything the interpreter writes to its console stream.
class Console {
 public:
  explicit Console(const std::string& input = "") {
    out_ = std::tmpfile();
    in_ = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in_);
    std::rewind(in_);
    set_console(out_, in_);
  }
  ~Console() {
    set_console(nullptr, nullptr);
    std::fclose(out_);
    std::fclose(in_);
  }
  std::string text() {
    std::fflush(out_);
    std::string s;
    std::rewind(out_);
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, out_)) > 0) s.append(buf, n);
    std::fseek(out_, 0, SEEK_END);
    return s;
  }

 private:
  std::FILE* out_;
  std::FILE* in_;
};

// Releases any earlier interpreter and registers `text` (copied) as the
// only source; the cursor is placed at its start.
inline void load_text(const std::string& text) {
  release_interpreter();
  add_source_buffer(const_cast<char*>(text.c_str()), static_cast<std::int32_t>(text.size()), 1);
  interp.cursor = interp.source_table[0]->text;
}

struct RunResult {
  std::string out;  // console output, diagnostics included
  int status;       // 0 normal, -1 script error, else the exit status
  Word value;       // the function's result word on a normal end
};

// Runs function `fn` of the script `text` in a fresh interpreter.
inline RunResult run_script(const std::string& text, const char* fn = "main", const std::string& input = "") {
  Console console(input);
  load_text(text);
  RunResult r{"", 0, 0};
  try {
    r.value = run_function(fn, 0, nullptr);
  } catch (const ScriptError&) {
    r.status = -1;
  } catch (const ScriptExit& e) {
    r.status = e.status;
  }
  r.out = console.text();
  release_interpreter();
  return r;
}

// Runs `text` and returns the error code it raised, or -1 when none.
inline int error_of(const std::string& text, const char* fn = "main") {
  Console console;
  load_text(text);
  int code = -1;
  try {
    run_function(fn, 0, nullptr);
  } catch (const ScriptError& e) {
    code = e.code;
  } catch (const ScriptExit&) {
  }
  release_interpreter();
  return code;
}

}  // namespace kelpa::test

#endif

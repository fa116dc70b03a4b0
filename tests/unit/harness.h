// Helpers shared by the unit tests: a fresh interpreter over an in-memory
// source with its console captured, scripts run to their result or error,
// argument slots over arena texts for calling builtins directly, and the
// evaluator fixture checking expressions by value and type or by error.
#ifndef KELPA_TESTS_HARNESS_H
#define KELPA_TESTS_HARNESS_H

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>

#include "builtins/builtins.h"
#include "expr/eval.h"
#include "interp/errors.h"
#include "interp/state.h"
#include "kelpa/kelpa.h"
#include "lexer/scanner.h"
#include "storage/address_space.h"
#include "storage/assignment.h"
#include "storage/types.h"
#include "storage/var_table.h"

namespace kelpa::test {

// Captures everything the interpreter writes to its console stream; console
// input reads an empty file.
class Console {
 public:
  Console() : out_(std::tmpfile()), in_(std::tmpfile()) { set_console(out_, in_); }
  ~Console() {
    set_console(nullptr, nullptr);
    std::fclose(out_);
    std::fclose(in_);
  }
  std::string text() {  // everything so far; the stream stays at its end
    std::fflush(out_);
    std::string s(static_cast<std::size_t>(std::ftell(out_)), '\0');
    std::rewind(out_);
    s.resize(std::fread(s.data(), 1, s.size(), out_));
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

// The error code `fn` raises, or -1 when it returns.
inline int raised(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const ScriptError& e) {
    return e.code;
  }
  return -1;
}

struct RunResult {
  std::string out;  // console output, diagnostics included
  int status;       // 0 normal, -1 script error, else the exit status
  int error;        // the error code raised, or -1
};

// Runs function `fn` of the script `text` in a fresh interpreter.
inline RunResult run_script(const std::string& text, const char* fn = "main") {
  Console console;
  load_text(text);
  RunResult r{"", 0, -1};
  try {
    r.error = raised([&] { run_function(fn, 0, nullptr); });
  } catch (const ScriptExit& e) {
    r.status = e.status;
  }
  if (r.error >= 0) r.status = -1;
  r.out = console.text();
  release_interpreter();
  return r;
}

inline int error_of(const std::string& text, const char* fn = "main") { return run_script(text, fn).error; }

// A NUL-terminated copy of `text` in the arena, four-byte aligned.
inline Addr put(const std::string& text) {
  std::uint32_t n = static_cast<std::uint32_t>(text.size()) + 1;
  Addr a = arena_alloc(n, 4);
  std::memcpy(writable(a, n), text.c_str(), n);
  return a;
}
inline ArgSlot str(const std::string& text) { return {put(text), T_STRING}; }
inline ArgSlot num(std::int32_t v) { return {static_cast<Word>(v), T_INT}; }
inline std::int32_t sig(Word w) { return static_cast<std::int32_t>(w); }

// `n` bytes at the very end of the arena holding `bytes`, without a NUL.
inline Addr arena_tail(const char* bytes, std::uint32_t n) {
  Addr tail = ARENA_BASE + ARENA_SIZE - n;
  std::memcpy(writable(tail, n), bytes, n);
  return tail;
}

inline std::string repeat(const std::string& s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

// An interpreter over an empty script, its console captured.
class FreshInterpreter : public ::testing::Test {
 protected:
  void SetUp() override { load_text("void main() {}"); }
  void TearDown() override { release_interpreter(); }
  Console console_;
};

// An evaluation's result word and type, and the error code raised or -1.
struct Value { Word word; TypeWord type; int error; };
// An expression, its expected value and type: the value is compared as a
// float when the type is float, else as a 32-bit integer.
struct Case { std::string text; double value; TypeWord type; };
struct ErrorCase { std::string text; int error; };

using VarSetup = std::function<void()>;

// One in-memory expression evaluated over variables made directly in the table.
class ExprTest : public FreshInterpreter {
 protected:
  // Evaluates `text` once the variables made by `setup` exist.
  static Value eval(const std::string& text, const VarSetup& setup = {}) {
    load_text(text);
    if (setup) setup();
    Value v{0, 0, -1};
    v.error = raised([&] {
      v.word = eval_expression();
      v.type = interp.expr_type;
    });
    return v;
  }

  static void expect_cases(std::initializer_list<Case> cases, const VarSetup& setup = {}) {
    for (const Case& c : cases) {
      Value v = eval(c.text, setup);
      EXPECT_EQ(v.error, -1) << c.text;
      EXPECT_EQ(v.type, c.type) << c.text;
      if (c.type == T_FLOAT) EXPECT_EQ(bits_float(v.word), static_cast<float>(c.value)) << c.text;
      else EXPECT_EQ(v.word, static_cast<Word>(static_cast<std::int64_t>(c.value))) << c.text;
    }
  }

  static void expect_errors(std::initializer_list<ErrorCase> cases, const VarSetup& setup = {}) {
    for (const ErrorCase& c : cases) EXPECT_EQ(eval(c.text, setup).error, c.error) << c.text.substr(0, 40);
  }

  static VarEntry* inline_var(const char* name, TypeWord type, Word value) {
    VarEntry* e = alloc_var();
    set_name(e, name);
    e->type = type;
    e->size = 0;
    e->value = value;
    return e;
  }

  // A variable with `size` bytes of arena storage, the first `count` copied from `bytes`.
  static VarEntry* stored_var(const char* name, TypeWord type, std::uint32_t size, const void* bytes = nullptr,
                              std::uint32_t count = 0) {
    VarEntry* e = inline_var(name, type, arena_alloc(size, 4));
    e->size = static_cast<std::int32_t>(size);
    if (bytes) std::memcpy(writable(e->value, count), bytes, count);
    return e;
  }
};

}  // namespace kelpa::test

#endif

// Shared fixture of the evaluator tests: an interpreter over one in-memory
// expression, variables made directly in the table, and tables of cases
// checked by value and type or by the error they raise.
#ifndef KELPA_TESTS_EXPR_FIXTURE_H
#define KELPA_TESTS_EXPR_FIXTURE_H

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>

#include "expr/eval.h"
#include "harness.h"
#include "interp/errors.h"
#include "lexer/scanner.h"
#include "storage/address_space.h"
#include "storage/assignment.h"
#include "storage/types.h"
#include "storage/var_table.h"

namespace kelpa::test {

struct Value {
  Word word;
  TypeWord type;
  int error;  // the error code raised, or -1
};

// An expression, its expected value and type: the value is compared as a
// float when the type is float, else as a 32-bit integer.
struct Case {
  std::string text;
  double value;
  TypeWord type;
};

struct ErrorCase {
  std::string text;
  int error;
};

using VarSetup = std::function<void()>;

class ExprTest : public ::testing::Test {
 protected:
  void TearDown() override { release_interpreter(); }

  // Evaluates `text` once the variables made by `setup` exist.
  static Value eval(const std::string& text, const VarSetup& setup = {}) {
    load_text(text);
    if (setup) setup();
    Value v{0, 0, -1};
    try {
      v.word = eval_expression();
      v.type = interp.expr_type;
    } catch (const ScriptError& e) {
      v.error = e.code;
    }
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

  Console console_;
};

inline std::string repeat(const std::string& s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

}  // namespace kelpa::test

#endif

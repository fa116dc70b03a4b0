// Shared fixture of the evaluator tests: an interpreter over one in-memory
// expression, variables made directly in the table, and evaluation that
// reports either the value and type or the error code raised.
#ifndef KELPA_TESTS_EXPR_FIXTURE_H
#define KELPA_TESTS_EXPR_FIXTURE_H

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "expr/eval.h"
#include "harness.h"
#include "interp/errors.h"
#include "storage/address_space.h"
#include "storage/assignment.h"
#include "storage/types.h"
#include "storage/var_table.h"

namespace kelpa::test {

struct Value {
  Word word;
  TypeWord type;
  int error;  // the error code raised, or -1

  std::int32_t as_int() const { return static_cast<std::int32_t>(word); }
  float as_float() const { return bits_float(word); }
};

class ExprTest : public ::testing::Test {
 protected:
  void TearDown() override { release_interpreter(); }

  // A fresh interpreter whose cursor stands at the start of `text`.
  void load(const std::string& text) { load_text(text); }

  // Evaluates one expression at the cursor.
  static Value eval_here() {
    Value v{0, 0, -1};
    try {
      v.word = eval_expression();
      v.type = interp.expr_type;
    } catch (const ScriptError& e) {
      v.error = e.code;
    }
    return v;
  }

  Value eval(const std::string& text) {
    load(text);
    return eval_here();
  }

  // Evaluates `text` after the variables made by `setup` exist.
  template <typename Setup>
  Value eval_with(const std::string& text, Setup setup) {
    load(text);
    setup();
    return eval_here();
  }

  // A variable whose value is held inline.
  static VarEntry* inline_var(const char* name, TypeWord type, Word value) {
    VarEntry* e = alloc_var();
    set_name(e, name);
    e->type = type;
    e->size = 0;
    e->value = value;
    return e;
  }

  // A variable with `size` bytes of arena storage, filled from `bytes`.
  static VarEntry* stored_var(const char* name, TypeWord type, std::uint32_t size, const void* bytes = nullptr,
                              std::uint32_t count = 0) {
    VarEntry* e = alloc_var();
    set_name(e, name);
    e->type = type;
    e->size = static_cast<std::int32_t>(size);
    e->value = arena_alloc(size, 4);
    if (bytes) std::memcpy(writable(e->value, count), bytes, count);
    return e;
  }

  // A string variable with 64 bytes of storage holding `text`.
  static VarEntry* string_var(const char* name, const char* text) {
    return stored_var(name, T_STRING, 64, text, static_cast<std::uint32_t>(std::strlen(text) + 1));
  }

  // An int array laid out as a declaration does: the dimension sizes just
  // below the data, the data filled with 0, 1, 2, ...
  static VarEntry* int_array(const char* name, std::initializer_list<std::int32_t> dim_sizes) {
    std::uint32_t count = 1;
    Addr d = arena_alloc(4u * static_cast<std::uint32_t>(dim_sizes.size()), 4);
    for (std::int32_t n : dim_sizes) {
      write_word(d, static_cast<Word>(n));
      d += 4;
      count *= static_cast<std::uint32_t>(n);
    }
    VarEntry* e = alloc_var();
    set_name(e, name);
    e->type = with_dims(T_INT, static_cast<std::uint32_t>(dim_sizes.size()));
    e->size = static_cast<std::int32_t>(4 * count);
    e->value = arena_alloc(4 * count, 4);
    for (std::uint32_t i = 0; i < count; ++i) write_word(e->value + 4 * i, i);
    return e;
  }

  static std::string text_of(Word address) { return text_at(address); }

  Console console_;
};

inline Word fbits(float f) { return float_bits(f); }

}  // namespace kelpa::test

#endif

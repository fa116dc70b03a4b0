// Declarations: the entries, type words, sizes and arena layout they make,
// and the declarations that must be refused.
#include <gtest/gtest.h>

#include <string>

#include "harness.h"
#include "interp/errors.h"
#include "lexer/scanner.h"
#include "storage/declarations.h"
#include "storage/types.h"
#include "storage/var_table.h"

namespace kelpa {
namespace {

class ExecDeclarations : public test::FreshInterpreter {
 protected:
  // Declares every list in `text`; each starts with a type keyword.
  void declare(const std::string& text) {
    test::load_text(text);
    for (int cls = next_token(); is_type_keyword(cls); cls = next_token()) declare_list(cls);
  }
  int error_of(const std::string& text) {
    try {
      declare(text);
    } catch (const ScriptError& e) {
      return e.code;
    }
    return -1;
  }
};

TEST_F(ExecDeclarations, TypeWordsSizesAndLayout) {
  declare("int a, *b, c[3]; char t[2][3]; short s[3]; string z, *p, v[4]; region r, rs[2];");
  struct Row {
    const char* name;
    TypeWord type;
    std::int32_t size;
  };
  const Row rows[] = {
      {"a", 3, 0}, {"b", 0x10003, 0}, {"c", 0x103, 12}, {"t", 0x201, 8}, {"s", 0x102, 8}, {"z", 5, 64},
      // An array of strings is an array of char pointers.
      {"p", 0x10005, 64}, {"v", 0x10101, 16}, {"r", 7, 32}, {"rs", 0x107, 64}, {nullptr, 0, 0},
  };
  for (const Row* row = rows; row->name; ++row) {
    VarEntry* e = find_name(row->name);
    ASSERT_NE(e, nullptr) << row->name;
    EXPECT_EQ(e->type, row->type) << row->name;
    EXPECT_EQ(e->size, row->size) << row->name;
  }
  // Storage blocks are word aligned and follow one another without overlapping.
  EXPECT_EQ(find_name("s")->value % 4, 0u);
  EXPECT_GE(find_name("p")->value, find_name("z")->value + 64);
  EXPECT_LE(find_name("rs")->value + 64, interp.arena_top);
}

TEST_F(ExecDeclarations, ReusedSlotKeepsItsWordWithoutAnInitialiser) {
  test::load_text("int i;");
  std::int32_t slot = interp.var_count;
  alloc_var()->value = 42;
  truncate_vars(slot);
  declare_list(next_token());
  EXPECT_EQ(find_name("i")->value, 42u);
}

TEST_F(ExecDeclarations, RefusedDeclarations) {
  std::string subscripts;
  for (int i = 0; i < 256; ++i) subscripts += "[1]";
  const std::pair<std::string, int> rows[] = {
      {"int " + std::string(256, '*') + "p;", ERR_SYNTAX}, {"int " + std::string(255, '*') + "p;", -1},
      {"int a" + subscripts + ";", ERR_SYNTAX}, {"int f(int x { }", ERR_PARENTHESES},
      // Storage that does not fit the arena, and element counts that overflow.
      {"int a[262145];", ERR_OUT_OF_RANGE}, {"int a[262143];", -1}, {"region r[1024][1024][1024][1024];", ERR_OUT_OF_RANGE},
  };
  for (const auto& [text, code] : rows) {
    EXPECT_EQ(error_of(text), code) << text;
    release_interpreter();
  }
}

}  // namespace
}  // namespace kelpa

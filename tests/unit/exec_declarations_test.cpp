// Declarations: the entries, type words, sizes and arena layout they make,
// function entries, and the declarations that must be refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"
#include "interp/errors.h"
#include "lexer/scanner.h"
#include "storage/address_space.h"
#include "storage/declarations.h"
#include "storage/types.h"
#include "storage/var_table.h"

namespace kelpa {
namespace {

class ExecDeclarations : public ::testing::Test {
 protected:
  void TearDown() override { release_interpreter(); }

  // Declares the list in `text`, which starts with a type keyword.
  void declare(const std::string& text) {
    test::load_text(text);
    declare_list(next_token());
  }
  int error_of(const std::string& text) {
    try {
      declare(text);
    } catch (const ScriptError& e) {
      return e.code;
    }
    return -1;
  }
  static VarEntry* var(const char* name) {
    VarEntry* e = find_name(name);
    EXPECT_NE(e, nullptr) << name;
    return e;
  }
  // The dimension sizes stored below an array's data, outermost first.
  static std::vector<Word> dimensions(const VarEntry* e) {
    std::vector<Word> d;
    for (std::uint32_t i = dims(e->type); i > 0; --i) d.push_back(read_word(e->value - 4 * i));
    return d;
  }

  test::Console console_;
};

TEST_F(ExecDeclarations, ScalarsPointersAndArrays) {
  declare("int a, *b, c[3]; char t[2][3]; short s[3];");
  EXPECT_EQ(var("a")->type, 3u);
  EXPECT_EQ(var("a")->size, 0);
  EXPECT_EQ(var("b")->type, 0x10003u);
  EXPECT_EQ(var("b")->size, 0);
  EXPECT_EQ(var("c")->type, 0x103u);
  EXPECT_EQ(var("c")->size, 12);
  EXPECT_EQ(dimensions(var("c")), std::vector<Word>({3}));
  EXPECT_EQ(var("c")->value % 4, 0u);

  declare_list(next_token());
  EXPECT_EQ(var("t")->type, 0x201u);
  EXPECT_EQ(var("t")->size, 8);
  EXPECT_EQ(dimensions(var("t")), std::vector<Word>({2, 3}));
  declare_list(next_token());
  EXPECT_EQ(var("s")->size, 8);
}

TEST_F(ExecDeclarations, StringsAndRegionsGetStorage) {
  declare("string s, *p, v[4]; region r, rs[2];");
  declare_list(next_token());
  EXPECT_EQ(var("s")->size, 64);
  EXPECT_EQ(var("p")->size, 64);
  EXPECT_EQ(var("p")->type, 0x10005u);
  // An array of strings is an array of char pointers.
  EXPECT_EQ(var("v")->type, 0x10101u);
  EXPECT_EQ(var("v")->size, 16);
  EXPECT_EQ(var("r")->size, 32);
  EXPECT_EQ(var("rs")->size, 64);
  // Storage blocks follow one another without overlapping.
  EXPECT_GE(var("p")->value, var("s")->value + 64);
  EXPECT_LE(var("rs")->value + 64, interp.arena_top);
}

TEST_F(ExecDeclarations, InitialisersAndDimensions) {
  declare("int x = 1, y = x + 1, z += 5, d[2.9][x + 2];");
  EXPECT_EQ(var("y")->value, 2u);
  EXPECT_EQ(var("z")->value, 5u);  // any assignment token introduces a value
  // A float dimension is converted, not taken by its bits.
  EXPECT_EQ(dimensions(var("d")), std::vector<Word>({2, 3}));
  EXPECT_EQ(var("d")->size, 24);

  // A slot reused without an initialiser keeps its earlier word.
  test::load_text("int i;");
  std::int32_t slot = interp.var_count;
  alloc_var()->value = 42;
  interp.var_count = slot;
  declare_list(next_token());
  EXPECT_EQ(var("i")->value, 42u);
}

TEST_F(ExecDeclarations, FunctionsAndPrototypes) {
  declare("int f(int x) { return x; } tail");
  VarEntry* f = var("f");
  EXPECT_EQ(f->size, KIND_FUNCTION);
  EXPECT_EQ(std::string(f->position, 6), "int x)");
  EXPECT_EQ(std::string(interp.cursor), " tail");

  declare("int *g(int x); next");
  VarEntry* g = &interp.var_table[interp.var_count - 1];
  EXPECT_EQ(g->size, KIND_FUNCTION);
  EXPECT_EQ(g->name[0], 0);  // inert: never found by name
  EXPECT_EQ(g->type, 0x10003u);
  EXPECT_EQ(find_name("g"), nullptr);
}

TEST_F(ExecDeclarations, RefusedDeclarations) {
  EXPECT_EQ(error_of("int " + std::string(256, '*') + "p;"), ERR_SYNTAX);
  EXPECT_EQ(error_of("int " + std::string(255, '*') + "p;"), -1);
  EXPECT_EQ(error_of("int a[-1];"), ERR_PARAMETER);
  EXPECT_EQ(error_of("int f(int x { }"), ERR_PARENTHESES);
  // Storage that does not fit the arena, and element counts that overflow.
  EXPECT_EQ(error_of("int a[262145];"), ERR_OUT_OF_RANGE);
  EXPECT_EQ(error_of("char c[65536][65536];"), ERR_OUT_OF_RANGE);
  EXPECT_EQ(error_of("region r[1024][1024][1024][1024];"), ERR_OUT_OF_RANGE);
  EXPECT_EQ(error_of("int a[262143];"), -1);
  EXPECT_EQ(error_of("int a" + [] {
              std::string s;
              for (int i = 0; i < 256; ++i) s += "[1]";
              return s;
            }() + ";"),
            ERR_SYNTAX);
}

}  // namespace
}  // namespace kelpa

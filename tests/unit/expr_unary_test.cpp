// Prefix operators, steps, address-of and dereference, parentheses, casts
// and the bound on nesting that keeps deep expressions off the host stack.
#include "harness.h"

namespace kelpa::test {
namespace {

class Unary : public ExprTest {};

TEST_F(Unary, PrefixOperatorsAndCasts) {
  expect_cases({
      {"-3 * 2", -6, T_INT}, {"- -2.5", 2.5, T_FLOAT}, {"-(-2147483647 - 1)", -2147483648.0, T_INT},
      {"!2.5", 0, T_INT}, {"~5 & 0xff", 250, T_INT}, {"++5", 5, T_INT}, {"()", 0, 0},
      // Casts convert by the inline store rules of the target.
      {"(char)-1", 255, T_CHAR}, {"(char)-1.9", 255, T_CHAR}, {"(short)70000", 4464, T_SHORT},
      {"(int)-3.9", -3, T_INT}, {"(float)3", 3, T_FLOAT}, {"(int**)0", 0, 0x20003},
      {"(int)(100000.0 * 100000.0)", -2147483648.0, T_INT},  // out of range: no trap
      // The operand is the whole rest of the expression unless it is a name.
      {"(int)2.5 * 2", 5, T_INT}, {"(float)x / 2", 3.5, T_FLOAT}, {"(int)(x) / 2", 3, T_INT},
      {"((int))f * 3", 6, T_INT}, {"(char*)p", ARENA_BASE + 8, 0x10001},
      // A type name with nothing after it passes its marked type on.
      {"(int))", 0, T_INT | CAST_MARKER}, {"(((int)))", 0, T_INT},
  }, [] {
    inline_var("x", T_INT, 7);
    inline_var("f", T_FLOAT, float_bits(2.5f));
    inline_var("p", 0x10003, ARENA_BASE + 8);
  });
}

TEST_F(Unary, StepsAndReferences) {
  const unsigned char bytes[8] = {0xFF, 0xFF, 0x80, 0x00, 0x34, 0x12, 0, 0};
  const std::int32_t ints[8] = {0, 1, 2, 3, 4, 5, 6, 7};
  VarEntry *x = nullptr, *a = nullptr;
  auto vars = [&] {
    x = inline_var("x", T_INT, 5);
    write_word(arena_alloc(4, 4), 8);  // the dimension size, just below the data
    a = stored_var("a", with_dims(T_INT, 1), 32, ints, 32);
    inline_var("p", 0x10003, a->value + 4);
    inline_var("pp", 0x20003, var_address(interp.var_count - 1));
    inline_var("c", 0x10001, stored_var("buf", T_INT, 8, bytes, 8)->value);
    inline_var("h", 0x10002, find_variable("buf")->value);
  };
  EXPECT_EQ(eval("--X + 10", vars).word, 14u);  // the new value; names ignore case
  EXPECT_EQ(x->value, 4u);
  EXPECT_EQ(interp.last_address, var_address(var_index(x)));
  expect_cases({{"*&x", 5, T_INT}, {"*p + 1", 2, T_INT}, {"**pp + 1", 2, T_INT}, {"*(a + 3)", 3, T_INT},
                {"++a[2] * 10", 30, T_INT}, {"a[1]-- * 10", 10, T_INT},
                // Dereferenced storage is read by the target type, with sign.
                {"*c", -1, T_CHAR}, {"*h", -1, T_SHORT}, {"*(h + 2)", 0x1234, T_SHORT}},
               vars);
  Value v = eval("&x", vars);
  EXPECT_EQ(v.word, var_address(var_index(x)));
  EXPECT_EQ(v.type, 0x10003u);
  EXPECT_EQ(eval("*(p + 1) + 2", vars).word, 4u);  // p + 3 elements
  EXPECT_EQ(interp.last_address, a->value + 16);
  EXPECT_EQ(eval("*p++", vars).word, 1u);  // reads at the old address
  EXPECT_EQ(find_variable("p")->value, a->value + 8);
  EXPECT_EQ(eval("&a[3]", vars).word, a->value + 12);
}

TEST_F(Unary, FaultsAreReported) {
  expect_errors({
      {"*x", ERR_SYNTAX}, {"++zz", ERR_NOT_VARIABLE}, {"(int" + repeat("*", 256) + ")0", ERR_SYNTAX},
      {"*(int*)0", ERR_OUT_OF_RANGE}, {"*(int*)(0 - 4)", ERR_OUT_OF_RANGE},  // reads are checked
      {"(1 + 2", ERR_PARENTHESES}, {"(1, 2)", ERR_PARENTHESES},
      {repeat("-", 5000) + "1", ERR_TOO_MANY_BLOCKS}, {repeat("*&", 3000) + "x", ERR_TOO_MANY_BLOCKS},
  }, [] { inline_var("x", T_INT, 1); });
  // Moderate nesting works and leaves the depth counter where it was.
  EXPECT_EQ(eval(repeat("-", 100) + repeat("(", 100) + "1" + repeat(")", 100)).word, 1u);
  EXPECT_EQ(interp.nesting, 0);
}

}  // namespace
}  // namespace kelpa::test

// Prefix operators, address-of and dereference, parentheses and casts, and
// the bound on nesting that keeps deep expressions off the host stack.
#include "expr_fixture.h"
#include "lexer/scanner.h"

namespace kelpa::test {
namespace {

class Unary : public ExprTest {};

TEST_F(Unary, PrefixOperators) {
  EXPECT_EQ(eval("-3 * 2").as_int(), -6);
  Value v = eval("-2.5");
  EXPECT_EQ(v.type, T_FLOAT);
  EXPECT_EQ(v.as_float(), -2.5f);
  EXPECT_EQ(eval("- -2.5").as_float(), 2.5f);
  EXPECT_EQ(eval("- - 5").as_int(), 5);
  EXPECT_EQ(eval("+7").as_int(), 7);
  EXPECT_EQ(eval("-(-2147483647 - 1)").as_int(), -2147483647 - 1);
  v = eval("!0");
  EXPECT_EQ(v.as_int(), 1);
  EXPECT_EQ(v.type, T_INT);
  EXPECT_EQ(eval("!7").as_int(), 0);
  EXPECT_EQ(eval("!!7").as_int(), 1);
  v = eval("!2.5");
  EXPECT_EQ(v.as_int(), 0);
  EXPECT_EQ(v.type, T_INT);
  EXPECT_EQ(eval("~0").as_int(), -1);
  EXPECT_EQ(eval("~5 & 0xff").as_int(), 250);
  // "~" keeps the type: a float's bits are inverted.
  v = eval("~1.0");
  EXPECT_EQ(v.type, T_FLOAT);
  EXPECT_EQ(v.word, ~fbits(1.0f));
  // A negated float variable keeps its type.
  v = eval_with("-f", [] { inline_var("f", T_FLOAT, fbits(1.25f)); });
  EXPECT_EQ(v.as_float(), -1.25f);
}

TEST_F(Unary, PrefixStepsVariables) {
  VarEntry* x = nullptr;
  auto vars = [&] {
    x = inline_var("x", T_INT, 5);
    inline_var("f", T_FLOAT, fbits(1.5f));
    inline_var("p", 0x10003, ARENA_BASE + 8);
    inline_var("r", 0x10007, ARENA_BASE + 64);
    inline_var("c", T_CHAR, 255);
  };
  Value v = eval_with("++x", vars);
  EXPECT_EQ(v.as_int(), 6);
  EXPECT_EQ(x->value, 6u);
  EXPECT_EQ(interp.last_address, var_address(var_index(x)));
  v = eval_with("--x + 10", vars);
  EXPECT_EQ(v.as_int(), 14);
  EXPECT_EQ(x->value, 4u);
  v = eval_with("++X * 2", vars);  // names ignore letter case
  EXPECT_EQ(v.as_int(), 12);
  v = eval_with("++f", vars);
  EXPECT_EQ(v.type, T_FLOAT);
  EXPECT_EQ(v.as_float(), 2.5f);
  EXPECT_EQ(eval_with("++p", vars).word, ARENA_BASE + 12);
  EXPECT_EQ(eval_with("--r", vars).word, ARENA_BASE + 32);
  v = eval_with("++c", vars);
  EXPECT_EQ(v.as_int(), 0);
  EXPECT_EQ(v.type, T_CHAR);
  // Without a variable to step the operator changes nothing.
  EXPECT_EQ(eval("++5").as_int(), 5);
  EXPECT_EQ(eval("--2.5").as_float(), 2.5f);
  EXPECT_EQ(eval("++true").as_int(), 1);
  EXPECT_EQ(eval("++zz").error, ERR_NOT_VARIABLE);
}

TEST_F(Unary, AddressOfAndDereference) {
  VarEntry* x = nullptr;
  VarEntry* a = nullptr;
  auto vars = [&] {
    x = inline_var("x", T_INT, 42);
    a = int_array("a", {8});
    inline_var("p", 0x10003, a->value + 4);
    inline_var("pp", 0x20003, var_address(var_index(interp.var_table + interp.var_count - 1)));
    inline_var("f", T_FLOAT, fbits(0.5f));
  };
  Value v = eval_with("&x", vars);
  EXPECT_EQ(v.word, var_address(var_index(x)));
  EXPECT_EQ(v.type, 0x10003u);
  v = eval_with("*&x", vars);
  EXPECT_EQ(v.as_int(), 42);
  EXPECT_EQ(v.type, T_INT);
  v = eval_with("*&f", vars);
  EXPECT_EQ(v.type, T_FLOAT);
  EXPECT_EQ(v.as_float(), 0.5f);
  // An operand that starts with a name is only the primary ...
  EXPECT_EQ(eval_with("*p + 1", vars).as_int(), 2);
  // ... any other operand is the whole rest of the expression.
  v = eval_with("*(p + 1) + 2", vars);
  EXPECT_EQ(v.as_int(), 4);
  EXPECT_EQ(interp.last_address, a->value + 16);
  EXPECT_EQ(eval_with("**pp + 1", vars).as_int(), 2);
  EXPECT_EQ(eval_with("*a", vars).as_int(), 0);
  EXPECT_EQ(eval_with("*(a + 3)", vars).as_int(), 3);
  // Postfix step after the name: reads at the old address.
  v = eval_with("*p++", vars);
  EXPECT_EQ(v.as_int(), 1);
  EXPECT_EQ(find_variable("p")->value, a->value + 8);
  // "&" of a pointer variable and of an array.
  EXPECT_EQ(eval_with("&pp", vars).type, 0x30003u);
  EXPECT_EQ(eval_with("&a", vars).type, 0x10103u);

  EXPECT_EQ(eval_with("*x", vars).error, ERR_SYNTAX);
  EXPECT_EQ(eval("*5").error, ERR_SYNTAX);
  // Reads through a pointer are checked against the address space.
  EXPECT_EQ(eval("*(int*)0").error, ERR_OUT_OF_RANGE);
  EXPECT_EQ(eval("*(int*)(0 - 4)").error, ERR_OUT_OF_RANGE);
}

TEST_F(Unary, DereferenceReadsByTargetType) {
  const unsigned char bytes[8] = {0xFF, 0xFF, 0x80, 0x00, 0x34, 0x12, 0, 0};
  auto vars = [&] {
    VarEntry* buf = stored_var("buf", T_INT, 8, bytes, 8);
    inline_var("c", 0x10001, buf->value);
    inline_var("h", 0x10002, buf->value);
    inline_var("s", 0x10005, buf->value + 4);
  };
  Value v = eval_with("*c", vars);
  EXPECT_EQ(v.as_int(), -1);  // char from storage is sign-extended
  EXPECT_EQ(v.type, T_CHAR);
  EXPECT_EQ(eval_with("*(c + 2)", vars).as_int(), -128);
  v = eval_with("*h", vars);
  EXPECT_EQ(v.as_int(), -1);
  EXPECT_EQ(v.type, T_SHORT);
  EXPECT_EQ(eval_with("*(h + 2)", vars).as_int(), 0x1234);
  // A string is represented by its address.
  v = eval_with("*s", vars);
  EXPECT_EQ(v.type, T_STRING);
  EXPECT_EQ(v.word, interp.last_address);
}

TEST_F(Unary, ParenthesesAndCastErrors) {
  EXPECT_EQ(eval("((((7))))").as_int(), 7);
  Value empty = eval("()");
  EXPECT_EQ(empty.type, 0u);
  EXPECT_EQ(empty.word, 0u);
  EXPECT_EQ(eval("(1 + 2").error, ERR_PARENTHESES);
  EXPECT_EQ(eval("(1, 2)").error, ERR_PARENTHESES);
  EXPECT_EQ(eval("(int x)").error, ERR_PARENTHESES);
  EXPECT_EQ(eval("(int").error, ERR_PARENTHESES);
}

TEST_F(Unary, CastsConvertTheRestOfTheOperand) {
  Value v = eval("(char)-1");
  EXPECT_EQ(v.as_int(), 255);
  EXPECT_EQ(v.type, T_CHAR);
  EXPECT_EQ(eval("(char)300").as_int(), 44);
  EXPECT_EQ(eval("(short)70000").as_int(), 4464);
  EXPECT_EQ(eval("(short)-1").as_int(), 65535);
  EXPECT_EQ(eval("(char)-1.9").as_int(), 255);
  v = eval("(int)3.9");
  EXPECT_EQ(v.as_int(), 3);
  EXPECT_EQ(v.type, T_INT);
  EXPECT_EQ(eval("(int)-3.9").as_int(), -3);
  v = eval("(float)3");
  EXPECT_EQ(v.type, T_FLOAT);
  EXPECT_EQ(v.as_float(), 3.0f);
  // The operand is the whole rest of the expression unless it is a name.
  EXPECT_EQ(eval("(int)2.5 * 2").as_int(), 5);
  EXPECT_EQ(eval("(float)7 / 2").as_float(), 3.0f);
  auto x7 = [] { inline_var("x", T_INT, 7); };
  v = eval_with("(float)x / 2", x7);
  EXPECT_EQ(v.type, T_FLOAT);
  EXPECT_EQ(v.as_float(), 3.5f);
  EXPECT_EQ(eval_with("(int)(x) / 2", x7).as_int(), 3);
  // A nested type name: the enclosing parentheses cast.
  v = eval_with("((int))f * 3", [] { inline_var("f", T_FLOAT, fbits(2.5f)); });
  EXPECT_EQ(v.type, T_INT);
  EXPECT_EQ(v.as_int(), 6);  // the cast's operand is the name alone
  v = eval_with("((int))(f + 1)", [] { inline_var("f", T_FLOAT, fbits(2.5f)); });
  EXPECT_EQ(v.as_int(), 3);
  // Pointer casts keep the word and take the new type.
  v = eval_with("(char*)p", [] { inline_var("p", 0x10003, ARENA_BASE + 8); });
  EXPECT_EQ(v.type, 0x10001u);
  EXPECT_EQ(v.word, ARENA_BASE + 8);
  EXPECT_EQ(eval("(int**)0").type, 0x20003u);
  // Floats out of the int range do not trap.
  EXPECT_EQ(eval("(int)(100000.0 * 100000.0)").as_int(), -2147483647 - 1);
  EXPECT_EQ(eval("(int)(0.0 / 1.0 * -1.0)").as_int(), 0);
}

TEST_F(Unary, TypeNameWithNothingToCastPassesItsMarkedType) {
  // As in an argument list ending in a type name: "f((int))".
  Value v = eval("(int))");
  EXPECT_EQ(v.word, 0u);
  EXPECT_EQ(v.type, T_INT | CAST_MARKER);
  v = eval("(char**))");
  EXPECT_EQ(v.type, 0x20001u | CAST_MARKER);
  // The marked word leaves no trace in arithmetic that follows elsewhere.
  v = eval("(((int)))");
  EXPECT_EQ(v.type, T_INT);
  EXPECT_EQ(v.word, 0u);
}

TEST_F(Unary, DeepNestingEndsWithAnError) {
  const std::string deep = std::string(5000, '(') + "1" + std::string(5000, ')');
  EXPECT_EQ(eval(deep).error, ERR_TOO_MANY_BLOCKS);
  EXPECT_EQ(eval(std::string(5000, '-') + "1").error, ERR_TOO_MANY_BLOCKS);
  EXPECT_EQ(eval(std::string(5000, '!') + "1").error, ERR_TOO_MANY_BLOCKS);
  EXPECT_EQ(eval(std::string(10000, '+') + "1").error, ERR_TOO_MANY_BLOCKS);
  std::string casts;
  for (int i = 0; i < 3000; ++i) casts += "(int)";
  EXPECT_EQ(eval(casts + "1").error, ERR_TOO_MANY_BLOCKS);
  std::string pointers;
  for (int i = 0; i < 3000; ++i) pointers += "*&";
  EXPECT_EQ(eval(pointers + "x").error, ERR_TOO_MANY_BLOCKS);
  std::string conditionals;
  for (int i = 0; i < 3000; ++i) conditionals += "1 ? ";
  EXPECT_EQ(eval(conditionals + "1").error, ERR_TOO_MANY_BLOCKS);

  // Moderate nesting works and leaves the depth counter where it was.
  const std::string fine = std::string(100, '(') + "1" + std::string(100, ')');
  Value v = eval(std::string(100, '-') + fine);
  EXPECT_EQ(v.as_int(), 1);
  EXPECT_EQ(interp.nesting, 0);
}

}  // namespace
}  // namespace kelpa::test

namespace kelpa::test {
namespace {

class Elements : public ExprTest {};

TEST_F(Elements, StepsAssignmentsAndAddressesOfElements) {
  VarEntry* a = nullptr;
  auto vars = [&] {
    a = int_array("a", {4});
    string_var("s", "hello");
    stored_var("cs", T_CHAR_ARRAY, 4);
  };
  Value v = eval_with("++a[2]", vars);
  EXPECT_EQ(v.as_int(), 3);
  EXPECT_EQ(read_word(a->value + 8), 3u);
  EXPECT_EQ(interp.last_address, a->value + 8);
  v = eval_with("a[1]-- * 10", vars);
  EXPECT_EQ(v.as_int(), 10);
  EXPECT_EQ(read_word(a->value + 4), 0u);
  v = eval_with("&a[3]", vars);
  EXPECT_EQ(v.word, a->value + 12);
  EXPECT_EQ(v.type, 0x10003u);
  v = eval_with("a[0] = 2.5", vars);
  EXPECT_EQ(v.as_int(), 2);
  EXPECT_EQ(v.type, T_INT);
  v = eval_with("s[0] = 'H'", vars);
  EXPECT_EQ(text_of(find_variable("s")->value), "Hello");
  // A stored char element keeps its sign when read back; the assignment's
  // value is passed on in the char conversion.
  v = eval_with("cs[1] = -1", vars);
  EXPECT_EQ(v.as_int(), 255);
  v = eval_with("cs[1] = -1, cs[1]", vars);
  next_token();
  EXPECT_EQ(eval_here().as_int(), -1);
}

}  // namespace
}  // namespace kelpa::test

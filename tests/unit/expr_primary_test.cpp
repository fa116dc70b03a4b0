// Primary expressions: literals, string decoding and interpolation into the
// arena, names and constants, the reference read rule, assignment and its
// passed-on value, and builtin calls with their argument array.
#include <vector>

#include "harness.h"

namespace kelpa::test {
namespace {

class Primary : public ExprTest {
 protected:
  // The text a string literal evaluates to, or a note of the error.
  static std::string text(const std::string& literal, const VarSetup& setup = {}) {
    Value v = eval(literal, setup);
    return v.error < 0 && v.type == T_STRING ? text_at(v.word) : "<error " + std::to_string(v.error) + ">";
  }
};

TEST_F(Primary, LiteralsNamesAndConstants) {
  expect_cases({
      {"0x1F", 31, T_INT}, {"2.5", 2.5, T_FLOAT}, {"'a'", 97, T_CHAR}, {"'\\n'", 10, T_CHAR}, {"'\\t'", 9, T_CHAR},
      {"'\\r'", 13, T_CHAR}, {"'\\0'", 0, T_CHAR}, {"'\\q'", 'q', T_CHAR}, {"'\xE9'", -23, T_CHAR},  // signed bytes
      {"NULL", 0, T_INT}, {"myr90", 7, T_INT},
  });
  expect_errors({{"nosuch(1)", ERR_FUNCTION_UNDEFINED}, {"nosuch + 1", ERR_NOT_VARIABLE}});
  // A constant is not assigned, and a token that starts no operand is not
  // consumed: both are left for the caller.
  EXPECT_EQ(eval("true = 5").word, 1u);
  next_token();
  EXPECT_EQ(interp.token_text[0], '=');
  EXPECT_EQ(eval("}").type, 0u);
  EXPECT_EQ(next_token(), TK_BRACE);
}

TEST_F(Primary, StringLiteralsAreDecodedIntoTheArena) {
  EXPECT_EQ(text("\"a\\nb\\tc\\rd\\0\\q\\{\\\\\\\"\""), "a\nb\tc\rd0q{\\\"");  // "\0" is the digit zero
  EXPECT_EQ(text("\"ab\\\ncd\\\r\nef\\\rg\""), "abcdef\rg");  // continuations; a lone carriage return stays
  // Writing stops at the arena's end, and a refused copy takes no space.
  const Addr end = ARENA_BASE + ARENA_SIZE;
  EXPECT_EQ(text("\"abcd\"", [&] { interp.arena_top = end - 5; }), "abcd");
  EXPECT_EQ(interp.arena_top, end);
  EXPECT_EQ(eval("\"abcde\"", [&] { interp.arena_top = end - 5; }).error, ERR_OUT_OF_RANGE);
  EXPECT_EQ(interp.arena_top, end - 5);
  // Room for one interpolated value, not two.
  auto near_end = [&] { inline_var("n", T_INT, 1234567), interp.arena_top = end - 9; };
  EXPECT_EQ(eval("\"{$n}{$n}\"", near_end).error, ERR_OUT_OF_RANGE);
}

TEST_F(Primary, InterpolationInsertsCurrentValues) {
  const char unterminated[8] = {'w', 'x', 'y', 'z', 'Q', 'Q', 0, 0};
  const std::string long63(63, 'k'), long64(64, 'k');
  auto vars = [&] {
    inline_var("n", T_INT, 42);
    stored_var("s", T_STRING, 64, "ab", 3);
    inline_var("c", T_CHAR, 'A');
    inline_var(long63.c_str(), T_INT, 7);
    stored_var("t", T_STRING, 8, unterminated, 8)->size = 4;
    inline_var("bad", T_STRING, 0)->size = 64;
  };
  // Not a variable, empty, spaced, too long, unclosed or escaped: copied as
  // written; the name never runs past the literal's closing quote.
  const std::string copied = "{$zz}{$NULL}{$}{ $n}{$" + long64 + "}{$n";
  const std::pair<std::string, std::string> rows[] = {
      {"n={$n} s={$s}", "n=42 s=ab"},
      {"{$N}{$c}[{$t}]", "42A[wxyz]"},  // a character; a text bounded by its size
      {"{$" + long63 + "}", "7"}, {copied, copied}, {"\\{$n}{{$n}", "{$n}{42"}};
  for (const auto& [literal, expected] : rows) EXPECT_EQ(text("\"" + literal + "\" }", vars), expected) << literal;
  EXPECT_EQ(eval("\"{$bad}\"", vars).error, ERR_OUT_OF_RANGE);
  // Every evaluation shows the current values.
  const char* loop = "int main() { int i; string s = \"ab\";\n"
                     "  for (i = 0; i < 3; i++) { printf(\"{$i}{$s};\"); s = \"c\"; } return 0; }\n";
  EXPECT_EQ(run_script(loop).out, "0ab;1c;2c;");
}

TEST_F(Primary, VariableReadsAndAssignments) {
  const unsigned char bytes[8] = {0xFF, 0xFF, 0, 0, 0x78, 0x56, 0x34, 0x12};
  VarEntry *x = nullptr, *f = nullptr, *region = nullptr;
  auto vars = [&] {
    x = inline_var("x", T_INT, 1);
    f = inline_var("f", T_FLOAT, 0);
    inline_var("ci", T_CHAR, 255);  // inline values keep no sign
    stored_var("cs", T_CHAR, 4, bytes, 8);  // stored ones are sign-extended
    stored_var("hs", T_SHORT, 4, bytes, 8);
    stored_var("ps", 0x10003, 4, bytes + 4, 4);  // a pointer held in storage
    region = stored_var("rg", T_REGION, 32);
  };
  expect_cases({{"ci", 255, T_CHAR}, {"cs", -1, T_CHAR}, {"hs", -1, T_SHORT}, {"ps", 0x12345678, 0x10003},
                // An assignment passes on its right-hand value in the variable's type.
                {"x = 2.5", 2, T_INT}, {"ci = 300", 44, T_CHAR}},
               vars);
  Value v = eval("rg", vars);  // an object is its storage address ...
  EXPECT_EQ(v.word, region->value);
  EXPECT_EQ(v.type, T_REGION);
  EXPECT_EQ(interp.last_address, var_address(var_index(region)));  // ... its reference the value field
  EXPECT_EQ(eval("x += 2", vars).word, 2u);  // not the new x
  EXPECT_EQ(x->value, 3u);
  EXPECT_EQ(interp.last_address, var_address(var_index(x)));
  EXPECT_EQ(eval("x++ + x", vars).word, 3u);
  EXPECT_EQ(eval("f = x = 3.75", vars).word, float_bits(3.0f));  // right to left, each in its type
  EXPECT_EQ(x->value, 3u);
  EXPECT_EQ(bits_float(f->value), 3.0f);
}

// A builtin that keeps its arguments and counts its calls.
std::vector<ArgSlot> probe_args;
int probe_calls = 0;
Word probe(std::int32_t count, const ArgSlot* a) {
  probe_args.assign(a, a + count);
  return ++probe_calls, 100 + static_cast<Word>(count);
}

TEST_F(Primary, BuiltinCallsCollectTheirArguments) {
  auto call = [this](const std::string& text) {
    probe_calls = 0;
    return eval(text, [] { register_builtin("probe", probe, T_FLOAT); });
  };
  Value v = call("PROBE(1, 2.5, \"s\",, (int))");  // an empty argument is dropped
  EXPECT_EQ(v.word, 104u);
  EXPECT_EQ(v.type, T_FLOAT);  // the builtin's declared type
  ASSERT_EQ(probe_args.size(), 4u);
  EXPECT_EQ(bits_float(probe_args[1].value), 2.5f);
  EXPECT_STREQ(text_at(probe_args[2].value), "s");
  EXPECT_EQ(probe_args[3].type, T_INT | CAST_MARKER);
  EXPECT_EQ(call("probe(probe(), 2 * 3)").word, 102u);
  EXPECT_EQ(probe_args[0].value, 100u);
  const std::string args32 = "probe(0" + repeat(",1", 31);
  EXPECT_EQ(call(args32 + ")").word, 132u);
  EXPECT_EQ(call(args32 + ",1)").error, ERR_PARENTHESES);
  EXPECT_EQ(probe_calls, 0);
  EXPECT_EQ(call("probe 1").error, ERR_PARENTHESES_EXPECTED);
}

}  // namespace
}  // namespace kelpa::test

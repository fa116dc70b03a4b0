// Primary expressions: literals, string decoding and interpolation into the
// arena, names and constants, assignment with its passed-on value, the
// reference read rule, and builtin calls with their argument array.
#include <vector>

#include "expr_fixture.h"
#include "lexer/scanner.h"

namespace kelpa::test {
namespace {

class Primary : public ExprTest {};

TEST_F(Primary, NumberAndCharacterLiterals) {
  Value v = eval("42");
  EXPECT_EQ(v.as_int(), 42);
  EXPECT_EQ(v.type, T_INT);
  EXPECT_EQ(eval("0x1F").as_int(), 31);
  v = eval("2.5");
  EXPECT_EQ(v.type, T_FLOAT);
  EXPECT_EQ(v.as_float(), 2.5f);

  v = eval("'a'");
  EXPECT_EQ(v.as_int(), 97);
  EXPECT_EQ(v.type, T_CHAR);
  EXPECT_EQ(eval("'\\n'").as_int(), 10);
  EXPECT_EQ(eval("'\\t'").as_int(), 9);
  EXPECT_EQ(eval("'\\r'").as_int(), 13);
  EXPECT_EQ(eval("'\\0'").as_int(), 0);
  EXPECT_EQ(eval("'\\q'").as_int(), 'q');
  EXPECT_EQ(eval("'\\\\'").as_int(), '\\');
  EXPECT_EQ(eval("'\\''").as_int(), '\'');
  // Bytes above 127 are signed.
  EXPECT_EQ(eval("'\xE9'").as_int(), -23);
  EXPECT_EQ(eval("'\\\xFF'").as_int(), -1);
}

TEST_F(Primary, StringLiteralEscapesAndContinuation) {
  auto text = [this](const std::string& literal) {
    Value v = eval(literal);
    EXPECT_EQ(v.type, T_STRING) << literal;
    return v.error < 0 ? text_of(v.word) : std::string("<error>");
  };
  EXPECT_EQ(text("\"plain\""), "plain");
  EXPECT_EQ(text("\"\""), "");
  EXPECT_EQ(text("\"a\\nb\\tc\\rd\""), "a\nb\tc\rd");
  EXPECT_EQ(text("\"\\0\""), "0");  // unlike the character literal
  EXPECT_EQ(text("\"say \\\"hi\\\"\""), "say \"hi\"");
  EXPECT_EQ(text("\"back\\\\slash\""), "back\\slash");
  EXPECT_EQ(text("\"\\q\\{\""), "q{");
  EXPECT_EQ(text("\"ab\\\ncd\""), "abcd");
  EXPECT_EQ(text("\"ab\\\r\ncd\""), "abcd");
  EXPECT_EQ(text("\"ab\\\rcd\""), "ab\rcd");  // a lone carriage return stays
  EXPECT_EQ(text("\"\\\\\""), "\\");
}

TEST_F(Primary, EachEvaluationTakesNewArenaSpace) {
  load("\"abc\" \"abc\"");
  interp.arena_top = ARENA_BASE + 5;
  Value first = eval_here();
  EXPECT_EQ(first.word, ARENA_BASE + 8);  // aligned up to 4
  EXPECT_EQ(interp.arena_top, ARENA_BASE + 12);  // just past the NUL
  Value second = eval_here();
  EXPECT_EQ(second.word, ARENA_BASE + 12);
  EXPECT_EQ(text_of(second.word), "abc");
  // The same literal evaluated again is copied again.
  load("\"xy\"");
  Addr seen[3];
  for (Addr& a : seen) {
    interp.cursor = interp.source_table[0]->text;
    a = eval_here().word;
  }
  EXPECT_EQ(seen[1], seen[0] + 4);
  EXPECT_EQ(seen[2], seen[1] + 4);
}

TEST_F(Primary, StringLiteralStopsAtTheArenaEnd) {
  const Addr end = ARENA_BASE + ARENA_SIZE;
  load("\"abcd\"");
  interp.arena_top = end - 5;  // aligned; exactly five bytes left
  Value v = eval_here();
  EXPECT_EQ(text_of(v.word), "abcd");
  EXPECT_EQ(interp.arena_top, end);

  load("\"abcde\"");
  interp.arena_top = end - 5;
  EXPECT_EQ(eval_here().error, ERR_OUT_OF_RANGE);
  EXPECT_EQ(interp.arena_top, end - 5);

  load("\"{$n}{$n}\"");
  inline_var("n", T_INT, 1234567);
  interp.arena_top = end - 9;
  EXPECT_EQ(eval_here().error, ERR_OUT_OF_RANGE);

  load("\"\"");
  interp.arena_top = end;  // aligning passes the end
  EXPECT_EQ(eval_here().error, ERR_OUT_OF_RANGE);
}

TEST_F(Primary, InterpolationInsertsCurrentValues) {
  auto vars = [] {
    inline_var("n", T_INT, 42);
    string_var("s", "ab");
    inline_var("neg", T_INT, static_cast<Word>(-5));
    inline_var("c", T_CHAR, 'A');
    inline_var("f", T_FLOAT, fbits(1.0f));
    inline_var("p", 0x10003, 4660);
  };
  auto text = [&](const std::string& literal) {
    Value v = eval_with(literal, vars);
    return v.error < 0 ? text_of(v.word) : std::string("<error>");
  };
  EXPECT_EQ(text("\"n={$n} s={$s}\""), "n=42 s=ab");
  EXPECT_EQ(text("\"{$N}{$neg}{$c}\""), "42-5A");
  EXPECT_EQ(text("\"{$f}\""), std::to_string(static_cast<std::int32_t>(fbits(1.0f))));
  EXPECT_EQ(text("\"{$p}\""), "4660");
  // Not a variable, empty, unclosed or escaped: copied as written.
  EXPECT_EQ(text("\"{$zz}\""), "{$zz}");
  EXPECT_EQ(text("\"{$NULL}{$printf}\""), "{$NULL}{$printf}");
  EXPECT_EQ(text("\"{$}\""), "{$}");
  EXPECT_EQ(text("\"{$n\""), "{$n");
  EXPECT_EQ(text("\"{ $n}\""), "{ $n}");
  EXPECT_EQ(text("\"\\{$n}\""), "{$n}");
  EXPECT_EQ(text("\"{{$n}\""), "{42");
  // The name is looked for only inside the literal.
  EXPECT_EQ(text("\"{$n\" }"), "{$n");

  // A 63-character name is found; a longer one is not even cut short.
  const std::string long63(63, 'k');
  const std::string long64(64, 'k');
  auto long_vars = [&] { inline_var(long63.c_str(), T_INT, 7); };
  Value v = eval_with("\"{$" + long63 + "}\"", long_vars);
  EXPECT_EQ(text_of(v.word), "7");
  v = eval_with("\"{$" + long64 + "}\"", long_vars);
  EXPECT_EQ(text_of(v.word), "{$" + long64 + "}");
}

TEST_F(Primary, InterpolatedTextIsBoundedByItsStorage) {
  // Storage without a NUL inside its size: only `size` characters.
  const char full[8] = {'w', 'x', 'y', 'z', 'Q', 'Q', 0, 0};
  Value v = eval_with("\"[{$t}]\"", [&] {
    VarEntry* t = stored_var("t", T_STRING, 8, full, 8);
    t->size = 4;
  });
  EXPECT_EQ(text_of(v.word), "[wxyz]");
  // Storage that is not a valid block raises instead of reading.
  v = eval_with("\"{$t}\"", [] {
    VarEntry* t = inline_var("t", T_STRING, 0);
    t->size = 64;
  });
  EXPECT_EQ(v.error, ERR_OUT_OF_RANGE);
}

TEST_F(Primary, NamesAndConstants) {
  EXPECT_EQ(eval("nosuch(1)").error, ERR_FUNCTION_UNDEFINED);
  EXPECT_EQ(eval("nosuch + 1").error, ERR_NOT_VARIABLE);
  EXPECT_EQ(eval("nosuch").error, ERR_NOT_VARIABLE);
  const struct {
    const char* name;
    std::int32_t value;
  } constants[] = {{"NULL", 0}, {"true", 1}, {"FALSE", 0}, {"R0", 0}, {"R270", 3}, {"mx", 4}, {"MYR90", 7}};
  for (const auto& c : constants) {
    Value v = eval(c.name);
    EXPECT_EQ(v.as_int(), c.value) << c.name;
    EXPECT_EQ(v.type, T_INT) << c.name;
  }
  // A constant is not assigned: the '=' is left for the caller.
  Value v = eval("true = 5");
  EXPECT_EQ(v.as_int(), 1);
  EXPECT_EQ(next_token(), TK_OP);
  EXPECT_EQ(interp.token_text[0], '=');
  // Tokens that start no operand give no value and are not consumed.
  v = eval(")");
  EXPECT_EQ(v.type, 0u);
  EXPECT_EQ(next_token(), TK_OP);
  v = eval("}");
  EXPECT_EQ(v.type, 0u);
  EXPECT_EQ(next_token(), TK_BRACE);
}

TEST_F(Primary, AssignmentAndPostfixSteps) {
  VarEntry *x = nullptr, *a = nullptr, *b = nullptr;
  auto vars = [&] {
    x = inline_var("x", T_INT, 0);
    a = inline_var("a", T_INT, 0);
    b = inline_var("b", T_INT, 0);
  };
  Value v = eval_with("x = 5", vars);
  EXPECT_EQ(v.as_int(), 5);
  EXPECT_EQ(v.type, T_INT);
  EXPECT_EQ(x->value, 5u);
  EXPECT_EQ(interp.last_address, var_address(var_index(x)));
  // Compound assignment yields the right-hand value.
  v = eval_with("x = 5, x += 2", vars);
  EXPECT_EQ(v.as_int(), 5);
  next_token();
  v = eval_here();
  EXPECT_EQ(v.as_int(), 2);
  EXPECT_EQ(x->value, 7u);
  // Postfix: the value before the step.
  v = eval_with("x++ + x", vars);
  EXPECT_EQ(v.as_int(), 1);
  EXPECT_EQ(x->value, 1u);
  v = eval_with("x-- - 3", vars);
  EXPECT_EQ(v.as_int(), -3);
  EXPECT_EQ(x->value, 0xFFFFFFFFu);
  // Right to left, and the whole conditional is the right-hand side.
  v = eval_with("a = b = 3", vars);
  EXPECT_EQ(a->value, 3u);
  EXPECT_EQ(b->value, 3u);
  v = eval_with("a = 0 ? 1 : 2", vars);
  EXPECT_EQ(a->value, 2u);
  std::string chain;
  for (int i = 0; i < 3000; ++i) chain += "a = ";
  EXPECT_EQ(eval_with(chain + "1", vars).error, ERR_TOO_MANY_BLOCKS);
  v = eval_with("x <<= 33", [&] { x = inline_var("x", T_INT, 1); });
  EXPECT_EQ(v.as_int(), 33);
  EXPECT_EQ(x->value, 2u);
  EXPECT_EQ(eval_with("x /= 0", vars).error, ERR_DIVISION_BY_ZERO);
  EXPECT_EQ(eval_with("x %= 0", vars).error, ERR_DIVISION_BY_ZERO);
}

TEST_F(Primary, AssignedValueTakesTheVariablesType) {
  VarEntry *i = nullptr, *f = nullptr, *c = nullptr;
  auto vars = [&] {
    i = inline_var("i", T_INT, 0);
    f = inline_var("f", T_FLOAT, 0);
    c = inline_var("c", T_CHAR, 0);
  };
  Value v = eval_with("i = 2.5", vars);
  EXPECT_EQ(v.type, T_INT);
  EXPECT_EQ(v.as_int(), 2);
  EXPECT_EQ(i->value, 2u);
  v = eval_with("f = 2", vars);
  EXPECT_EQ(v.type, T_FLOAT);
  EXPECT_EQ(v.as_float(), 2.0f);
  EXPECT_EQ(bits_float(f->value), 2.0f);
  v = eval_with("f += 2", vars);
  EXPECT_EQ(v.as_float(), 2.0f);
  v = eval_with("c = 300", vars);
  EXPECT_EQ(v.type, T_CHAR);
  EXPECT_EQ(v.as_int(), 44);
  EXPECT_EQ(c->value, 44u);
  v = eval_with("c = -1", vars);
  EXPECT_EQ(v.as_int(), 255);
  // A chain passes converted values along.
  v = eval_with("f = i = 3.75", vars);
  EXPECT_EQ(bits_float(f->value), 3.0f);
  EXPECT_EQ(v.as_float(), 3.0f);
}

TEST_F(Primary, ReferenceReadRule) {
  const unsigned char bytes[8] = {0xFF, 0xFF, 0, 0, 0x78, 0x56, 0x34, 0x12};
  auto vars = [&] {
    inline_var("ci", T_CHAR, 255);  // inline char keeps 0..255
    stored_var("cs", T_CHAR, 4, bytes, 8);  // stored char is sign-extended
    inline_var("hi", T_SHORT, 65535);
    stored_var("hs", T_SHORT, 4, bytes, 8);
    stored_var("ps", 0x10003, 4, bytes + 4, 4);  // a pointer held in storage
    stored_var("rg", T_REGION, 32);
    string_var("st", "text");
    int_array("ar", {3});
  };
  EXPECT_EQ(eval_with("ci", vars).as_int(), 255);
  Value v = eval_with("cs", vars);
  EXPECT_EQ(v.as_int(), -1);
  EXPECT_EQ(v.type, T_CHAR);
  EXPECT_EQ(eval_with("hi", vars).as_int(), 65535);
  EXPECT_EQ(eval_with("hs", vars).as_int(), -1);
  EXPECT_EQ(eval_with("ps", vars).word, 0x12345678u);
  // Objects with storage are represented by their address.
  v = eval_with("rg", vars);
  EXPECT_EQ(v.word, find_variable("rg")->value);
  EXPECT_EQ(v.type, T_REGION);
  v = eval_with("st", vars);
  EXPECT_EQ(text_of(v.word), "text");
  v = eval_with("ar", vars);
  EXPECT_EQ(v.word, find_variable("ar")->value);
  EXPECT_EQ(v.type, 0x103u);
  // last_address names the variable's value field, not its storage.
  EXPECT_EQ(interp.last_address, var_address(var_index(find_variable("ar"))));
}

struct Probe {
  static inline std::vector<ArgSlot> args;
  static inline int calls = 0;
  static Word routine(std::int32_t count, const ArgSlot* a) {
    args.assign(a, a + count);
    ++calls;
    return 100 + static_cast<Word>(count);
  }
};

class BuiltinCall : public ExprTest {
 protected:
  Value call(const std::string& text) {
    Probe::args.clear();
    Probe::calls = 0;
    return eval_with(text, [] { register_builtin("probe", Probe::routine, T_FLOAT); });
  }
};

TEST_F(BuiltinCall, ArgumentsAreCollectedIntoSlots) {
  Value v = call("probe(1, 2.5, \"s\", 'c')");
  EXPECT_EQ(v.word, 104u);
  EXPECT_EQ(v.type, T_FLOAT);  // the builtin's declared type
  ASSERT_EQ(Probe::args.size(), 4u);
  EXPECT_EQ(Probe::args[0].value, 1u);
  EXPECT_EQ(Probe::args[0].type, T_INT);
  EXPECT_EQ(Probe::args[1].type, T_FLOAT);
  EXPECT_EQ(bits_float(Probe::args[1].value), 2.5f);
  EXPECT_EQ(Probe::args[2].type, T_STRING);
  EXPECT_EQ(text_of(Probe::args[2].value), "s");
  EXPECT_EQ(Probe::args[3].type, T_CHAR);

  EXPECT_EQ(call("probe()").word, 100u);
  EXPECT_EQ(call("PROBE(1,,2)").word, 102u);  // empty arguments are dropped
  EXPECT_EQ(call("probe(probe(1), 2 * 3)").word, 102u);
  EXPECT_EQ(Probe::calls, 2);
  EXPECT_EQ(Probe::args[1].value, 6u);
  EXPECT_EQ(call("probe((int))").word, 101u);
  EXPECT_EQ(Probe::args[0].type, T_INT | CAST_MARKER);

  std::string args32 = "probe(0";
  for (int i = 1; i < 32; ++i) args32 += "," + std::to_string(i);
  EXPECT_EQ(call(args32 + ")").word, 132u);
  EXPECT_EQ(Probe::args[31].value, 31u);
  EXPECT_EQ(call(args32 + ",32)").error, ERR_PARENTHESES);
  EXPECT_EQ(Probe::calls, 0);

  // Calls nested in arguments are bounded like any other nesting.
  std::string deep;
  for (int i = 0; i < 3000; ++i) deep += "probe(";
  EXPECT_EQ(call(deep + "1").error, ERR_TOO_MANY_BLOCKS);
  EXPECT_EQ(Probe::calls, 0);

  EXPECT_EQ(call("probe 1").error, ERR_PARENTHESES_EXPECTED);
  EXPECT_EQ(call("probe(1;").error, ERR_PARENTHESES);
}

}  // namespace
}  // namespace kelpa::test

namespace kelpa::test {
namespace {

TEST(ExprInScripts, CallsAndInterpolationThroughWholeScripts) {
  // Both operands of "&&" and "||" are evaluated: every call of f adds up.
  RunResult r = run_script(
      "int n;\n"
      "int f(int v) { n = n + v; return v; }\n"
      "int main() { int r = 0 && f(1); r = f(2) || f(4); return n * 10 + r + f(0) * 100; }\n");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.value, 71u);  // n = 1 + 2 + 4, r = 1
  // A call's value is labelled with the declared return type.
  r = run_script("float half(int v) { return v / 2.0; }\nint main() { return half(5) * 4; }\n");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(bits_float(r.value), 10.0f);
  // Interpolation shows the variables' values at each evaluation.
  r = run_script(
      "int main() { int i; string s = \"ab\"; for (i = 0; i < 3; i++) { printf(\"{$i}{$s};\"); s = \"c\"; }"
      " return 0; }\n");
  EXPECT_EQ(r.out, "0ab;1c;2c;");
  EXPECT_EQ(error_of("int main() { return undefined_fn(1); }"), ERR_FUNCTION_UNDEFINED);
  EXPECT_EQ(error_of("int main() { int x; x = 1 / (x - x); return 0; }"), ERR_DIVISION_BY_ZERO);
}

}  // namespace
}  // namespace kelpa::test

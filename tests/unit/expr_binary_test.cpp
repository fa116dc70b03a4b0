// The binary levels: precedence and grouping, the single comparison, the
// conditional operator, evaluation of both operands, float promotion by
// level, pointer arithmetic, shifts and division faults.
#include "expr_fixture.h"
#include "lexer/scanner.h"

namespace kelpa::test {
namespace {

class Binary : public ExprTest {};

TEST_F(Binary, PrecedenceAndGroupingOfEachLevel) {
  EXPECT_EQ(eval("2 + 3 * 4").as_int(), 14);
  EXPECT_EQ(eval("(2 + 3) * 4").as_int(), 20);
  EXPECT_EQ(eval("10 - 4 - 3").as_int(), 3);
  EXPECT_EQ(eval("7 / 2").as_int(), 3);
  EXPECT_EQ(eval("-7 / 2").as_int(), -3);
  EXPECT_EQ(eval("-7 % 2").as_int(), -1);
  EXPECT_EQ(eval("7 % -2").as_int(), 1);
  EXPECT_EQ(eval("2 * 3 % 4").as_int(), 2);
  EXPECT_EQ(eval("100 / 10 / 5").as_int(), 2);
  // Shifts bind looser than additive operators, tighter than bitwise ones.
  EXPECT_EQ(eval("1 << 2 + 1").as_int(), 8);
  EXPECT_EQ(eval("1 | 1 << 2").as_int(), 5);
  EXPECT_EQ(eval("64 >> 2 >> 1").as_int(), 8);
  // '&', '|' and '^' share one level, grouped left to right.
  EXPECT_EQ(eval("1 | 2 & 0").as_int(), 0);
  EXPECT_EQ(eval("6 & 3 ^ 1").as_int(), 3);
  EXPECT_EQ(eval("1 ^ 3 | 4").as_int(), 6);
  // Bitwise operators bind tighter than comparisons.
  auto a_and_1_is_0 = [this](Word a) {
    return eval_with("a & 1 == 0", [a] { inline_var("a", T_INT, a); }).as_int();
  };
  EXPECT_EQ(a_and_1_is_0(2), 1);
  EXPECT_EQ(a_and_1_is_0(3), 0);
  EXPECT_EQ(eval("3 == 3 & 1").as_int(), 0);
  // "&&" and "||" share one level, grouped left to right.
  EXPECT_EQ(eval("1 || 0 && 0").as_int(), 0);
  EXPECT_EQ(eval("0 && 1 || 1").as_int(), 1);
  EXPECT_EQ(eval("2 && 3").word, 1u);
  EXPECT_EQ(eval("0 || 0").word, 0u);
  // Comparisons bind tighter than the logical operators.
  EXPECT_EQ(eval("1 < 2 && 3 > 2").as_int(), 1);
}

TEST_F(Binary, OneComparisonPerExpression) {
  Value v = eval("1 < 2 < 3");
  EXPECT_EQ(v.as_int(), 1);
  EXPECT_EQ(v.type, T_INT);
  // The second comparison is left for the caller.
  EXPECT_EQ(next_token(), TK_OP);
  EXPECT_EQ(interp.token_text[0], OP_LT);

  EXPECT_EQ(eval("-1 < 0").as_int(), 1);
  EXPECT_EQ(eval("-2147483647 - 1 < 2147483647").as_int(), 1);
  EXPECT_EQ(eval("3 <= 3").as_int(), 1);
  EXPECT_EQ(eval("3 >= 4").as_int(), 0);
  EXPECT_EQ(eval("3 != 4").as_int(), 1);
  // A float on either side compares as floats.
  EXPECT_EQ(eval("1 < 1.5").as_int(), 1);
  EXPECT_EQ(eval("1.5 > 1").as_int(), 1);
  EXPECT_EQ(eval("2.0 == 2").as_int(), 1);
  EXPECT_EQ(eval("-0.5 < 0").as_int(), 1);
  // Texts compare by address.
  EXPECT_EQ(eval("\"ab\" == \"ab\"").as_int(), 0);
  // Without an operator the left operand's type passes through.
  EXPECT_EQ(eval("2.5").type, T_FLOAT);
}

TEST_F(Binary, ConditionalOperator) {
  EXPECT_EQ(eval("1 ? 2 : 3").as_int(), 2);
  EXPECT_EQ(eval("0 ? 2 : 3").as_int(), 3);
  EXPECT_EQ(eval("0 ? 1 : 0 ? 2 : 3").as_int(), 3);
  EXPECT_EQ(eval("0 ? 1 : 1 ? 2 : 3").as_int(), 2);
  EXPECT_EQ(eval("1 ? 0 ? 4 : 5 : 6").as_int(), 5);
  EXPECT_EQ(eval("0.5 ? 7 : 8").as_int(), 7);
  // The result keeps the type of the operand it came from.
  Value chosen = eval("1 ? 2.5 : 3");
  EXPECT_EQ(chosen.type, T_FLOAT);
  EXPECT_EQ(chosen.as_float(), 2.5f);
  Value other = eval("0 ? 2.5 : 3");
  EXPECT_EQ(other.type, T_INT);
  EXPECT_EQ(other.as_int(), 3);

  EXPECT_EQ(eval("1 ? 2 ; 3").error, ERR_SYNTAX);
  // An empty condition leaves the '?' to the caller.
  Value empty = eval("? 1 : 2");
  EXPECT_EQ(empty.type, 0u);
  EXPECT_EQ(next_token(), TK_OP);
  EXPECT_EQ(interp.token_text[0], '?');
}

TEST_F(Binary, BothOperandsAreAlwaysEvaluated) {
  VarEntry *a = nullptr, *b = nullptr;
  auto vars = [&] {
    a = inline_var("a", T_INT, 0);
    b = inline_var("b", T_INT, 0);
  };
  EXPECT_EQ(eval_with("0 && (a = 5)", vars).as_int(), 0);
  EXPECT_EQ(a->value, 5u);
  EXPECT_EQ(eval_with("1 || (b = 7)", vars).as_int(), 1);
  EXPECT_EQ(b->value, 7u);
  EXPECT_EQ(eval_with("0 && a++ || b++", vars).as_int(), 0);
  EXPECT_EQ(a->value, 1u);
  EXPECT_EQ(b->value, 1u);
  // Both branches of the conditional run; the chosen one gives the value.
  EXPECT_EQ(eval_with("1 ? (a = 3) : (b = 4)", vars).as_int(), 3);
  EXPECT_EQ(a->value, 3u);
  EXPECT_EQ(b->value, 4u);
}

TEST_F(Binary, FloatPromotionFollowsEachLevel) {
  Value v = eval("2 + 1.5");  // the left operand's type decides
  EXPECT_EQ(v.type, T_INT);
  EXPECT_EQ(v.as_int(), 3);
  v = eval("1.5 + 2");
  EXPECT_EQ(v.type, T_FLOAT);
  EXPECT_EQ(v.as_float(), 3.5f);
  v = eval("10 - 2.7");
  EXPECT_EQ(v.as_int(), 8);
  v = eval("1 + -1.5");
  EXPECT_EQ(v.as_int(), 0);
  v = eval("3.0 - 1.0");
  EXPECT_EQ(v.type, T_FLOAT);
  EXPECT_EQ(v.as_float(), 2.0f);
  // Multiplicative: float if either side is.
  v = eval("2 * 1.5");
  EXPECT_EQ(v.type, T_FLOAT);
  EXPECT_EQ(v.as_float(), 3.0f);
  v = eval("2 * 1.5 * 2");
  EXPECT_EQ(v.type, T_FLOAT);
  EXPECT_EQ(v.as_float(), 6.0f);
  EXPECT_EQ(eval("7 / 2.0").as_float(), 3.5f);
  EXPECT_EQ(eval("2 + 1.5 * 3").as_int(), 6);  // 2 + 4.5, truncated
  v = eval("1.5 * 2 + 1");
  EXPECT_EQ(v.type, T_FLOAT);
  EXPECT_EQ(v.as_float(), 4.0f);
  // '%' truncates both sides and yields a float.
  v = eval("7.5 % 2");
  EXPECT_EQ(v.type, T_FLOAT);
  EXPECT_EQ(v.as_float(), 1.0f);
  EXPECT_EQ(eval("-7.5 % 2").as_float(), -1.0f);
  // Bitwise and shift work on raw words and take the right operand's type.
  v = eval("1.5 | 0");
  EXPECT_EQ(v.type, T_INT);
  EXPECT_EQ(v.word, fbits(1.5f));
  v = eval("0 | 1.5");
  EXPECT_EQ(v.type, T_FLOAT);
  EXPECT_EQ(v.as_float(), 1.5f);
  v = eval("1.0 >> 0");
  EXPECT_EQ(v.type, T_INT);
  EXPECT_EQ(v.word, fbits(1.0f));
  // Logical operators yield int; a float 0.0 is false, -0.0 is not.
  v = eval("0.0 || 0");
  EXPECT_EQ(v.type, T_INT);
  EXPECT_EQ(v.word, 0u);
  EXPECT_EQ(eval("-0.0 && 1").word, 1u);
}

TEST_F(Binary, IntegerArithmeticWraps) {
  EXPECT_EQ(eval("2147483647 + 1").as_int(), -2147483647 - 1);
  EXPECT_EQ(eval("-2147483647 - 2").as_int(), 2147483647);
  EXPECT_EQ(eval("65536 * 65536").as_int(), 0);
  EXPECT_EQ(eval("65537 * 65537").as_int(), 131073);
  EXPECT_EQ(eval("(-2147483647 - 1) / -1").as_int(), -2147483647 - 1);
  EXPECT_EQ(eval("(-2147483647 - 1) % -1").as_int(), 0);
  EXPECT_EQ(eval("(-2147483647 - 1) / 2").as_int(), -1073741824);
}

TEST_F(Binary, ShiftCountsAreMasked) {
  EXPECT_EQ(eval("1 << 33").as_int(), 2);
  EXPECT_EQ(eval("5 >> 32").as_int(), 5);
  EXPECT_EQ(eval("-8 >> 1").as_int(), -4);
  EXPECT_EQ(eval("-1 >> 31").as_int(), -1);
  EXPECT_EQ(eval("1 << 31").as_int(), -2147483647 - 1);
  EXPECT_EQ(eval("1 << -1").as_int(), -2147483647 - 1);
  EXPECT_EQ(eval("3 << 30").as_int(), -1073741824);
  EXPECT_EQ(eval("(-2147483647 - 1) >> 4").as_int(), -134217728);
}

TEST_F(Binary, DivisionByZeroInEachForm) {
  EXPECT_EQ(eval("5 / 0").error, ERR_DIVISION_BY_ZERO);
  EXPECT_EQ(eval("5 % 0").error, ERR_DIVISION_BY_ZERO);
  EXPECT_EQ(eval("1 / (2 - 2)").error, ERR_DIVISION_BY_ZERO);
  EXPECT_EQ(eval("5.0 / 0").error, ERR_DIVISION_BY_ZERO);
  EXPECT_EQ(eval("5 / 0.0").error, ERR_DIVISION_BY_ZERO);
  EXPECT_EQ(eval("5.0 / -0.0").error, ERR_DIVISION_BY_ZERO);
  EXPECT_EQ(eval("5.0 % 0.5").error, ERR_DIVISION_BY_ZERO);
  EXPECT_EQ(eval("5 % 0.9").error, ERR_DIVISION_BY_ZERO);
  // Near misses are fine.
  EXPECT_EQ(eval("5.0 / 0.5").as_float(), 10.0f);
  EXPECT_EQ(eval("5 % 1.5").as_float(), 0.0f);
  EXPECT_EQ(eval("0 / 5").as_int(), 0);
}

TEST_F(Binary, PointerArithmeticScalesByElementSize) {
  VarEntry* a = nullptr;
  Value v = eval_with("a + 3", [&] { a = int_array("a", {10}); });
  EXPECT_EQ(v.word, a->value + 12);
  EXPECT_EQ(v.type, 0x10003u);  // the array decays to a pointer to int
  v = eval_with("a + 1.9", [&] { a = int_array("a", {10}); });
  EXPECT_EQ(v.word, a->value + 4);
  // A two-dimensional array decays to a pointer to its base element.
  v = eval_with("m + 1", [&] { a = int_array("m", {2, 3}); });
  EXPECT_EQ(v.word, a->value + 4);
  EXPECT_EQ(v.type, 0x10003u);
  // The decayed type carries along the chain and meets the array again.
  v = eval_with("a + 5 - a", [&] { a = int_array("a", {10}); });
  EXPECT_EQ(v.as_int(), 5);
  v = eval_with("a - a", [&] { a = int_array("a", {10}); });
  EXPECT_EQ(v.as_int(), 0);

  auto pointers = [] {
    inline_var("p", 0x10003, ARENA_BASE + 40);
    inline_var("q", 0x10003, ARENA_BASE + 12);
    inline_var("c", 0x10001, ARENA_BASE + 40);
    inline_var("h", 0x10002, ARENA_BASE + 40);
    inline_var("r", 0x10007, ARENA_BASE + 64);
    inline_var("s", 0x10005, ARENA_BASE + 64);
    inline_var("pp", 0x20003, ARENA_BASE + 64);
  };
  v = eval_with("p - q", pointers);
  EXPECT_EQ(v.as_int(), 7);
  EXPECT_EQ(v.type, 0x10003u);
  EXPECT_EQ(eval_with("q - p", pointers).as_int(), -7);
  EXPECT_EQ(eval_with("p - 1", pointers).word, ARENA_BASE + 36);
  EXPECT_EQ(eval_with("p + 1 + 1", pointers).word, ARENA_BASE + 48);
  EXPECT_EQ(eval_with("c + 3", pointers).word, ARENA_BASE + 43);
  EXPECT_EQ(eval_with("h + 3", pointers).word, ARENA_BASE + 46);
  EXPECT_EQ(eval_with("r + 1", pointers).word, ARENA_BASE + 96);
  EXPECT_EQ(eval_with("s - 1", pointers).word, ARENA_BASE);
  EXPECT_EQ(eval_with("pp + 1", pointers).word, ARENA_BASE + 68);
  // Different pointer types: the right side is scaled, not divided.
  EXPECT_EQ(eval_with("c - q", pointers).word, ARENA_BASE + 40 - (ARENA_BASE + 12));
  EXPECT_EQ(eval_with("p - c", pointers).word, ARENA_BASE + 40 - 4 * (ARENA_BASE + 40));
  // Only the left operand decides: an integer plus a pointer is plain.
  v = eval_with("1 + p", pointers);
  EXPECT_EQ(v.word, ARENA_BASE + 41);
  EXPECT_EQ(v.type, T_INT);

  // A string value is an address: plus 1 is the next character.
  VarEntry* s = nullptr;
  v = eval_with("s + 1", [&] { s = string_var("s", "hello"); });
  EXPECT_EQ(v.type, T_STRING);
  EXPECT_EQ(text_of(v.word), "ello");
  EXPECT_EQ(v.word, s->value + 1);
}

}  // namespace
}  // namespace kelpa::test

// The binary levels: precedence and grouping, float promotion by level,
// wrapping, masked shifts, the single comparison, the conditional operator,
// evaluation of both operands, pointer arithmetic and division faults.
#include "harness.h"

namespace kelpa::test {
namespace {

constexpr double INT_MIN_D = -2147483648.0;

class Binary : public ExprTest {};

TEST_F(Binary, PrecedenceGroupingAndPromotion) {
  expect_cases({
      {"2 + 3 * 4", 14, T_INT}, {"10 - 4 - 3", 3, T_INT}, {"-7 / 2", -3, T_INT}, {"-7 % 2", -1, T_INT},
      {"1 << 2 + 1", 8, T_INT},
      // '&', '|', '^' share one level, tighter than the comparisons; "&&"
      // and "||" share one level, looser than the comparisons.
      {"1 | 2 & 0", 0, T_INT}, {"3 == 3 & 1", 0, T_INT}, {"1 || 0 && 0", 0, T_INT}, {"2 && 3", 1, T_INT},
      {"-1 < 0", 1, T_INT}, {"1 < 1.5", 1, T_INT}, {"\"ab\" == \"ab\"", 0, T_INT},  // texts compare by address
      // Additive: the left operand's type; multiplicative: float if either is.
      {"2 + 1.5", 3, T_INT}, {"1.5 + 2", 3.5, T_FLOAT}, {"2 * 1.5", 3, T_FLOAT}, {"2 + 1.5 * 3", 6, T_INT},
      {"7.5 % 2", 1, T_FLOAT}, {"-7.5 % 2", -1, T_FLOAT},
      // Bitwise takes the right operand's type and raw words; any set bit is true.
      {"0 | 1.5", 1.5, T_FLOAT}, {"1.5 | 0", static_cast<double>(float_bits(1.5f)), T_INT}, {"-0.0 && 1", 1, T_INT},
      // Wrapping, the division corner and masked shift counts.
      {"2147483647 + 1", INT_MIN_D, T_INT}, {"65537 * 65537", 131073, T_INT},
      {"(-2147483647 - 1) / -1", INT_MIN_D, T_INT}, {"(-2147483647 - 1) % -1", 0, T_INT},
      {"1 << 33", 2, T_INT}, {"5 >> 32", 5, T_INT}, {"-8 >> 1", -4, T_INT}, {"1 << -1", INT_MIN_D, T_INT},
      // The conditional groups to the right and keeps the chosen operand's type.
      {"1 ? 0 ? 4 : 5 : 6", 5, T_INT}, {"1 ? 2.5 : 3", 2.5, T_FLOAT}, {"0 ? 2.5 : 3", 3, T_INT},
  });
}

TEST_F(Binary, OperatorsLeftForTheCallerAndBothOperandsEvaluated) {
  EXPECT_EQ(eval("1 < 2 < 3").word, 1u);  // one comparison per expression
  EXPECT_EQ(next_token(), TK_OP);
  EXPECT_EQ(interp.token_text[0], OP_LT);
  EXPECT_EQ(eval("? 1 : 2").type, 0u);  // an empty condition keeps its '?'
  next_token();
  EXPECT_EQ(interp.token_text[0], '?');

  VarEntry *a = nullptr, *b = nullptr;
  auto vars = [&] {
    a = inline_var("a", T_INT, 0);
    b = inline_var("b", T_INT, 0);
  };
  EXPECT_EQ(eval("0 && (a = 5) || (b = 7)", vars).word, 1u);
  EXPECT_EQ(a->value + b->value, 12u);
  EXPECT_EQ(eval("1 ? (a = 3) : (b = 4)", vars).word, 3u);
  EXPECT_EQ(b->value, 4u);
}

TEST_F(Binary, PointerArithmeticScalesByElementSize) {
  constexpr double base = ARENA_BASE;
  expect_cases({{"p - q", 7, 0x10003}, {"q - p", -7, 0x10003}, {"p - 1", base + 36, 0x10003},
                {"p + 1 + 1.9", base + 48, 0x10003}, {"c + 3", base + 43, 0x10001}, {"r + 1", base + 96, 0x10007},
                {"s - 1", base, 0x10005}, {"pp + 1", base + 68, 0x20003}, {"c - q", 28, 0x10001},
                {"1 + p", base + 41, T_INT},  // only the left operand decides
                // Arrays decay to a pointer to their base element; a string is an address.
                {"m + 1", base + 68, 0x10003}, {"a + 5 - a", 5, 0x10003}, {"t + 1", base + 65, T_STRING}},
               [] {
                 const struct { const char* name; TypeWord type; std::uint32_t offset; } vars[] = {
                     {"p", 0x10003, 40}, {"q", 0x10003, 12}, {"c", 0x10001, 40}, {"r", 0x10007, 64},
                     {"s", 0x10005, 64}, {"pp", 0x20003, 64}, {"m", with_dims(T_INT, 2), 64},
                     {"a", with_dims(T_INT, 1), 0}, {"t", T_STRING, 64}};
                 for (const auto& v : vars) inline_var(v.name, v.type, ARENA_BASE + v.offset);
               });
}

TEST_F(Binary, FaultsAreReported) {
  expect_errors({
      {"5 / 0", ERR_DIVISION_BY_ZERO}, {"5 % 0", ERR_DIVISION_BY_ZERO}, {"5.0 / 0", ERR_DIVISION_BY_ZERO},
      {"5 / -0.0", ERR_DIVISION_BY_ZERO}, {"5.0 % 0.5", ERR_DIVISION_BY_ZERO}, {"1 ? 2 ; 3", ERR_SYNTAX},
      // Deep nesting ends with an error instead of exhausting the host stack.
      {repeat("(", 5000) + "1" + repeat(")", 5000), ERR_TOO_MANY_BLOCKS},
      {repeat("1 ? ", 3000) + "1", ERR_TOO_MANY_BLOCKS},
  });
}

}  // namespace
}  // namespace kelpa::test

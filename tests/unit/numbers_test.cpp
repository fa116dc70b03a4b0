// Numeric literal conversion: hexadecimal and decimal integers with 32-bit
// wrap-around, reals with and without fractions, and rejected text.
#include "lexer/numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "harness.h"
#include "interp/errors.h"

namespace kelpa {
namespace {

class Numbers : public ::testing::Test {
 protected:
  void SetUp() override { test::load_text("x"); }
  void TearDown() override { release_interpreter(); }

  template <typename Fn>
  int error_of(Fn fn) {
    try {
      fn();
    } catch (const ScriptError& e) {
      return e.code;
    }
    return -1;
  }

  test::Console console_;
};

TEST_F(Numbers, HexadecimalIntegers) {
  EXPECT_EQ(parse_int_literal("0x1f"), 31);
  EXPECT_EQ(parse_int_literal("0X1F"), 31);
  EXPECT_EQ(parse_int_literal("0x001F"), 31);
  EXPECT_EQ(parse_int_literal("0x"), 0);
  EXPECT_EQ(parse_int_literal("0xFFFFFFFF"), -1);
  EXPECT_EQ(parse_int_literal("0x80000000"), INT32_MIN);
  EXPECT_EQ(parse_int_literal("0x123456789"), 0x23456789);
  // A hexadecimal literal ends at its first non-hex character.
  EXPECT_EQ(parse_int_literal("0x1G"), 1);
}

TEST_F(Numbers, DecimalIntegersWrapModulo2To32) {
  EXPECT_EQ(parse_int_literal("0"), 0);
  EXPECT_EQ(parse_int_literal("007"), 7);
  EXPECT_EQ(parse_int_literal("2147483647"), INT32_MAX);
  EXPECT_EQ(parse_int_literal("2147483648"), INT32_MIN);
  EXPECT_EQ(parse_int_literal("4294967295"), -1);
  EXPECT_EQ(parse_int_literal("4294967296"), 0);
  // 10^20 mod 2^32 = 1661992960.
  EXPECT_EQ(parse_int_literal("100000000000000000000"), 1661992960);

  for (const char* bad : {"12ab", "-5", "1 ", "0b1", "1.5", "x"}) {
    EXPECT_EQ(error_of([bad] { parse_int_literal(bad); }), ERR_SYNTAX) << bad;
  }
}

TEST_F(Numbers, RealLiterals) {
  EXPECT_EQ(parse_real_literal("3.25"), 3.25);
  EXPECT_EQ(static_cast<float>(parse_real_literal("0.1")), 0.1f);
  EXPECT_EQ(parse_real_literal("3."), 3.0);
  EXPECT_EQ(parse_real_literal("12"), 12.0);
  EXPECT_EQ(static_cast<float>(parse_real_literal("1.000000001")), 1.0f);
  // The integer part wraps like an integer literal.
  EXPECT_EQ(parse_real_literal("4294967296.5"), 0.5);
  EXPECT_EQ(parse_real_literal("2147483648"), -2147483648.0);
  // Long fractions neither overflow nor lose the leading digits.
  EXPECT_NEAR(parse_real_literal("0.12345678912345678"), 0.123456789, 1e-7);
  EXPECT_NEAR(parse_real_literal(("2." + std::string(40, '9')).c_str()), 3.0, 1e-6);

  for (const char* bad : {"1.5e3", "1.5f", "2.x", "1..2", "1.2.3", "0x10", "1e5", " 1"}) {
    EXPECT_EQ(error_of([bad] { parse_real_literal(bad); }), ERR_SYNTAX) << bad;
  }
}

}  // namespace
}  // namespace kelpa

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

template <typename Fn>
int raised(Fn fn) {
  test::Console console;
  test::load_text("x");
  int code = -1;
  try {
    fn();
  } catch (const ScriptError& e) {
    code = e.code;
  }
  release_interpreter();
  return code;
}

TEST(Numbers, IntegersWrapModulo2To32) {
  const struct {
    const char* text;
    std::int32_t value;
  } rows[] = {
      {"0x1f", 31}, {"0X1F", 31}, {"0x", 0}, {"0xFFFFFFFF", -1}, {"0x123456789", 0x23456789},
      {"0x1G", 1},  // hexadecimal ends at its first non-hex character
      {"007", 7},   {"2147483648", INT32_MIN}, {"4294967296", 0},
      {"100000000000000000000", 1661992960},  // 10^20 mod 2^32
  };
  for (const auto& r : rows) EXPECT_EQ(parse_int_literal(r.text), r.value) << r.text;
  for (const char* bad : {"12ab", "-5", "1 ", "1.5"})
    EXPECT_EQ(raised([bad] { parse_int_literal(bad); }), ERR_SYNTAX) << bad;
}

TEST(Numbers, RealLiterals) {
  const struct {
    std::string text;
    double value;
  } rows[] = {
      {"3.25", 3.25}, {"3.", 3.0}, {"12", 12.0},
      {"4294967296.5", 0.5}, {"2147483648", -2147483648.0},  // the integer part wraps
  };
  for (const auto& r : rows) EXPECT_EQ(parse_real_literal(r.text.c_str()), r.value) << r.text;
  EXPECT_EQ(static_cast<float>(parse_real_literal("0.1")), 0.1f);
  // Long fractions neither overflow nor lose the leading digits.
  EXPECT_NEAR(parse_real_literal("0.12345678912345678"), 0.123456789, 1e-7);
  EXPECT_NEAR(parse_real_literal(("2." + std::string(40, '9')).c_str()), 3.0, 1e-6);
  for (const char* bad : {"1.5e3", "1.5f", "1..2", "0x10", " 1"})
    EXPECT_EQ(raised([bad] { parse_real_literal(bad); }), ERR_SYNTAX) << bad;
}

}  // namespace
}  // namespace kelpa

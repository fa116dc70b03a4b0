// Numeric literal conversion: hexadecimal and decimal integers with 32-bit
// wrap-around, reals with and without fractions, and rejected text.
#include "lexer/numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "harness.h"
#include "interp/errors.h"

namespace kelpa {
namespace {

// The error code a conversion of `text` raises, or -1.
template <typename Convert>
int error_of(Convert convert, const std::string& text) {
  test::Console console;
  test::load_text("x");
  int code = -1;
  try {
    convert(text.c_str());
  } catch (const ScriptError& e) {
    code = e.code;
  }
  release_interpreter();
  return code;
}

TEST(Numbers, IntegersWrapModulo2To32) {
  const std::pair<const char*, std::int32_t> rows[] = {
      {"0x1f", 31}, {"0X1F", 31}, {"0x", 0}, {"0xFFFFFFFF", -1}, {"0x123456789", 0x23456789},
      {"0x1G", 1},  // hexadecimal ends at its first non-hex character
      {"007", 7},   {"2147483648", INT32_MIN}, {"4294967296", 0},
      {"100000000000000000000", 1661992960},  // 10^20 mod 2^32
  };
  for (auto [text, value] : rows) EXPECT_EQ(parse_int_literal(text), value) << text;
  for (const char* bad : {"12ab", "-5", "1 ", "1.5"}) EXPECT_EQ(error_of(parse_int_literal, bad), ERR_SYNTAX) << bad;
}

TEST(Numbers, RealLiterals) {
  const std::pair<const char*, double> rows[] = {
      {"3.25", 3.25}, {"3.", 3.0}, {"12", 12.0},
      {"4294967296.5", 0.5}, {"2147483648", -2147483648.0},  // the integer part wraps
  };
  for (auto [text, value] : rows) EXPECT_EQ(parse_real_literal(text), value) << text;
  EXPECT_EQ(static_cast<float>(parse_real_literal("0.1")), 0.1f);
  // Long fractions neither overflow nor lose the leading digits.
  EXPECT_NEAR(parse_real_literal("0.12345678912345678"), 0.123456789, 1e-7);
  EXPECT_NEAR(parse_real_literal(("2." + std::string(40, '9')).c_str()), 3.0, 1e-6);
  for (const char* bad : {"1.5e3", "1.5f", "1..2", "0x10", " 1"})
    EXPECT_EQ(error_of(parse_real_literal, bad), ERR_SYNTAX) << bad;
}

}  // namespace
}  // namespace kelpa

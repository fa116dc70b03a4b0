// Conversion of number tokens into values: decimal and "0x" hexadecimal
// integers, and reals written as digits with an optional point and fraction.
// Integer arithmetic is done in uint32_t so that overflow wraps modulo 2^32.
#include "lexer/numbers.h"

#include "interp/errors.h"

namespace kelpa {

namespace {

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

inline std::uint32_t digit_of(char c) { return static_cast<std::uint32_t>(c - '0'); }

// The value of a hexadecimal digit, or -1.
int hex_digit(char c) {
  if (is_digit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

inline std::int32_t as_signed(std::uint32_t v) { return static_cast<std::int32_t>(v); }

// Fraction digits beyond this many no longer change a float's value; they
// are checked but not scaled, which keeps the scale inside 32 bits.
constexpr int FRACTION_DIGITS = 9;

}  // namespace

std::int32_t parse_int_literal(const char* text) {
  if (!text) return 0;
  std::uint32_t value = 0;
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    for (const char* p = text + 2; hex_digit(*p) >= 0; ++p) {
      value = (value << 4) | static_cast<std::uint32_t>(hex_digit(*p));
    }
    return as_signed(value);
  }
  for (const char* p = text; *p; ++p) {
    if (!is_digit(*p)) raise_error(ERR_SYNTAX);
    value = value * 10u + digit_of(*p);
  }
  return as_signed(value);
}

double parse_real_literal(const char* text) {
  if (!text) return 0.0;
  const char* p = text;
  std::uint32_t whole = 0;
  for (; is_digit(*p); ++p) whole = whole * 10u + digit_of(*p);
  const double integer_part = as_signed(whole);
  if (*p == 0) return integer_part;
  if (*p != '.') raise_error(ERR_SYNTAX);
  ++p;
  std::int32_t numerator = 0;
  std::int32_t scale = 1;
  for (int digits = 0; is_digit(*p); ++p, ++digits) {
    if (digits < FRACTION_DIGITS) {
      numerator = numerator * 10 + static_cast<std::int32_t>(digit_of(*p));
      scale *= 10;
    }
  }
  if (*p != 0) raise_error(ERR_SYNTAX);
  const float fraction = static_cast<float>(static_cast<double>(numerator) / scale);
  return integer_part + fraction;
}

}  // namespace kelpa

// Conversion of numeric literal text into values. Integer arithmetic wraps
// modulo 2^32 without undefined behaviour.
#ifndef KELPA_LEXER_NUMBERS_H
#define KELPA_LEXER_NUMBERS_H

#include <cstdint>

namespace kelpa {

// Decimal or "0x" hexadecimal; never fails (hex stops at its first
// non-hex digit). Decimal text holding a non-digit raises "syntax error".
std::int32_t parse_int_literal(const char* text);

// Digits, optionally a point and digits; anything else raises "syntax error".
double parse_real_literal(const char* text);

}  // namespace kelpa

#endif

// Integer mathematics builtins: log2 and pow. Both take their arguments as
// 32-bit integers (a float's bits included) and compute in uint32_t, so
// overflow wraps modulo 2^32 instead of being undefined.
#include "builtins/builtins.h"
#include "interp/errors.h"

namespace kelpa {

// How often n can be halved while it is greater than 1; 0 for n <= 1.
Word builtin_log2(std::int32_t count, const ArgSlot* args) {
  if (count != 1) raise_error(ERR_PARAMETER);
  std::int32_t n = static_cast<std::int32_t>(args[0].value);
  Word halvings = 0;
  for (; n > 1; n >>= 1) ++halvings;
  return halvings;
}

// base to the power exponent, wrapping; an exponent of 0 or less gives 1.
// Squaring keeps a large exponent cheap and gives the same word as repeated
// multiplication, since both are exact modulo 2^32.
Word builtin_pow(std::int32_t count, const ArgSlot* args) {
  if (count != 2) raise_error(ERR_PARAMETER);
  std::uint32_t base = args[0].value;
  std::int32_t exponent = static_cast<std::int32_t>(args[1].value);
  std::uint32_t result = 1;
  for (std::uint32_t e = exponent > 0 ? static_cast<std::uint32_t>(exponent) : 0; e; e >>= 1) {
    if (e & 1u) result *= base;
    base *= base;
  }
  return result;
}

}  // namespace kelpa

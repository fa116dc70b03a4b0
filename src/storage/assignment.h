// Every write of a value into a variable or element: conversions, string
// growth, array and region copies, and the compound operators.
#ifndef KELPA_STORAGE_ASSIGNMENT_H
#define KELPA_STORAGE_ASSIGNMENT_H

#include <cstdint>

#include "interp/state.h"

namespace kelpa {

// Integer of a value word: a float (type 4) truncated toward zero (NaN and
// out-of-range floats give the most negative integer), else the word.
std::int32_t int_of(Word value, TypeWord type);
// Float of a value word: a float as is, else the word as a signed integer.
float float_of(Word value, TypeWord type);

inline Word float_bits(float f) {
  Word w;
  __builtin_memcpy(&w, &f, 4);
  return w;
}
inline float bits_float(Word w) {
  float f;
  __builtin_memcpy(&f, &w, 4);
  return f;
}

void store_value(VarEntry* entry, Word value, TypeWord value_type);

// A value converted by the inline store rules of `target` (the conversions
// of a cast), through a nameless temporary variable of that type.
Word convert_value(Word value, TypeWord value_type, TypeWord target);
void compound_assign(VarEntry* entry, Word value, TypeWord value_type, int op);

// Integer operators wrap; '/' and '%' by zero raise "division by zero"; the
// most negative integer divided by -1 gives itself (remainder 0).
void apply_int_op(std::int32_t* target, std::int32_t v, int op);
void apply_float_op(float* target, float v, int op);

}  // namespace kelpa

#endif

// Type words: the 32-bit descriptor that travels with every value word.
//
// Bits 0..7 hold the base type (the type keyword's code), bits 8..15 the
// number of array dimensions, bits 16..23 the pointer depth, and bit 31 the
// cast marker, set only while a cast's target type travels to its operand.
// Decisions compare whole words: only the word 4 is "float".
#ifndef KELPA_STORAGE_TYPES_H
#define KELPA_STORAGE_TYPES_H

#include <cstdint>

#include "interp/state.h"

namespace kelpa {

enum BaseType : TypeWord {
  T_NONE = 0,
  T_CHAR = 1,
  T_SHORT = 2,
  T_INT = 3,
  T_FLOAT = 4,
  T_STRING = 5,
  T_FILE = 6,
  T_REGION = 7,
  T_CELL = 8,
  T_GLOBAL = 9,
  T_VOID = 10,
  T_LIST = 29,  // an initializer list: address of its first value/type pair
};

constexpr TypeWord CAST_MARKER = 0x80000000u;
constexpr TypeWord T_CHAR_ARRAY = 0x101u;
constexpr TypeWord T_CHAR_POINTER = 0x10001u;
constexpr TypeWord T_FILE_POINTER = 0x10006u;

inline TypeWord base_type(TypeWord t) { return t & 0xffu; }
inline std::uint32_t dims(TypeWord t) { return (t >> 8) & 0xffu; }
inline std::uint32_t ptr_depth(TypeWord t) { return (t >> 16) & 0xffu; }
inline TypeWord with_dims(TypeWord t, std::uint32_t d) { return (t & ~0xff00u) | ((d & 0xffu) << 8); }
inline TypeWord with_ptr_depth(TypeWord t, std::uint32_t p) {
  return (t & ~0xff0000u) | ((p & 0xffu) << 16);
}

// Size in bytes of one element of exactly this word: char 1, short 2,
// string 64, region 32, everything else (pointers and arrays included) 4.
std::int32_t element_size(TypeWord t);

// Derived words. Pointer depth and dimensions are 8-bit fields: a derivation
// that would overflow one raises "syntax error".
inline TypeWord element_type(TypeWord t) { return with_dims(t, 0); }
TypeWord pointee_type(TypeWord t);      // ptr_depth - 1
TypeWord decayed_type(TypeWord t);      // array used as a pointer: dims 0, ptr_depth + 1
TypeWord address_of_type(TypeWord t);   // ptr_depth + 1, dims kept
TypeWord dereferenced_type(TypeWord t); // dims 0 if an array, else ptr_depth - 1, else "syntax error"

}  // namespace kelpa

#endif

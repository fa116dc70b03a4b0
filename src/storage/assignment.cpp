// Every write of a value into a variable or element entry.
//
// store_value converts a value word of one type word into the target's
// representation: inline words are narrowed without sign, storage is written
// through the checked address space, strings grow onto the heap, and arrays
// and regions are filled from initializer lists or copied from another
// object. compound_assign applies an operator in place. Integer arithmetic is
// done in uint32_t so every result wraps instead of overflowing.
#include "storage/assignment.h"

#include <cstring>
#include <functional>
#include <string>

#include "expr/eval.h"
#include "interp/errors.h"
#include "storage/address_space.h"
#include "storage/types.h"

namespace kelpa {

namespace {

constexpr std::int32_t INT_MIN32 = static_cast<std::int32_t>(0x80000000u);

// True for entries of var_table; element entries are temporaries elsewhere.
bool in_var_table(const VarEntry* e) {
  std::less<const VarEntry*> before;
  return !before(e, interp.var_table) && before(e, interp.var_table + VAR_LIMIT);
}

// Text of `src` into a string entry with storage. A variable's storage grows
// onto the heap to hold the whole text; a string element reached through a
// pointer (string *p; p[1] = ...) cannot move, since its 64-byte slot lies
// inside other storage, so there the text is cut to fit.
void store_string(VarEntry* e, Word src) {
  std::uint32_t dest_size = static_cast<std::uint32_t>(e->size);
  std::uint32_t len = src ? text_length(src) + 1 : 1;
  if (len == 1) {
    write_u8(e->value, 0);
    return;
  }
  if (len <= dest_size) {
    copy_bytes(e->value, src, len);
    return;
  }
  if (!in_var_table(e)) {
    copy_bytes(e->value, src, dest_size - 1);
    write_u8(e->value + dest_size - 1, 0);
    return;
  }
  // The text may live in the block that heap_resize is about to replace.
  std::string text(text_at(src), len);
  Addr grown = e->heap ? heap_resize(e->heap, len) : heap_alloc(len);
  e->value = grown;
  e->heap = grown;
  e->size = static_cast<std::int32_t>(len);
  std::memcpy(writable(grown, len), text.data(), len);
}

// One list record converted to a 32-bit element of type `elem`.
Word element_word(Word value, TypeWord record_type, TypeWord elem) {
  if (record_type == elem) return value;
  if (elem == T_FLOAT) return float_bits(float_of(value, record_type));
  return static_cast<Word>(int_of(value, record_type));
}

// Fills the whole storage from an initializer list, one element per record;
// elements past the list's last record become zero.
void store_list(VarEntry* e, Addr list) {
  TypeWord elem = element_type(e->type);
  std::uint32_t size = static_cast<std::uint32_t>(e->size);
  std::uint32_t step = elem == T_CHAR ? 1 : elem == T_SHORT ? 2 : 4;
  std::int32_t records = list_count(list);
  std::uint32_t count = records > 0 ? static_cast<std::uint32_t>(records) : 0;
  writable(e->value, size);
  for (std::uint32_t i = 0; i < size / step; ++i) {
    Addr at = e->value + i * step;
    Word value = 0;
    TypeWord type = T_INT;
    if (i < count) {
      value = read_word(list + 8 * i);
      type = read_word(list + 8 * i + 4);
    }
    if (step == 1) {
      write_u8(at, static_cast<Word>(int_of(value, type)));
    } else if (step == 2) {
      write_u16(at, static_cast<Word>(int_of(value, type)));
    } else {
      write_word(at, element_word(value, type, elem));
    }
  }
}

// strncpy into a one-dimensional char array: the source is read only up to
// its NUL or `size` bytes, whichever comes first, and the rest is padded.
void store_char_array(VarEntry* e, Word src) {
  std::uint32_t size = static_cast<std::uint32_t>(e->size);
  std::uint32_t room = block_room(src, false);
  std::uint32_t limit = room < size ? room : size;
  const std::uint8_t* from = readable(src, limit);
  const void* nul = std::memchr(from, 0, limit);
  std::uint32_t len = nul ? static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(nul) - from) : limit;
  if (!nul && limit < size) raise_error(ERR_OUT_OF_RANGE);  // text runs off its block
  std::uint8_t* to = writable(e->value, size);
  std::memmove(to, from, len);
  std::memset(to + len, 0, size - len);
}

bool is_pointer_word(const VarEntry* e) {
  return dims(e->type) == 0 && ptr_depth(e->type) != 0 && e->size == 4;
}

// Storage targets that are neither scalars nor strings.
void store_object(VarEntry* e, Word value, TypeWord value_type) {
  if (value_type == T_LIST) {
    store_list(e, value);
  } else if (e->type == T_CHAR_ARRAY) {
    if (value != 0) store_char_array(e, value);
  } else if (is_pointer_word(e)) {
    write_word(e->value, static_cast<Word>(int_of(value, value_type)));
  } else if (value != 0) {
    copy_bytes(e->value, value, static_cast<std::uint32_t>(e->size));
  }
}

// The step of a pointer operand: the value times the pointee's size.
std::int32_t scaled(Word value, TypeWord value_type, TypeWord pointer) {
  std::uint32_t v = static_cast<std::uint32_t>(int_of(value, value_type));
  return static_cast<std::int32_t>(v * static_cast<std::uint32_t>(element_size(pointee_type(pointer))));
}

}  // namespace

std::int32_t int_of(Word value, TypeWord type) {
  if (type != T_FLOAT) return static_cast<std::int32_t>(value);
  float f = bits_float(value);
  if (!(f >= -2147483648.0f && f < 2147483648.0f)) return INT_MIN32;  // NaN too
  return static_cast<std::int32_t>(f);
}

float float_of(Word value, TypeWord type) {
  if (type == T_FLOAT) return bits_float(value);
  return static_cast<float>(static_cast<std::int32_t>(value));
}

void store_value(VarEntry* entry, Word value, TypeWord value_type) {
  if (entry->size == 0) {
    switch (entry->type) {
      case T_CHAR: entry->value = static_cast<Word>(int_of(value, value_type)) & 0xffu; break;
      case T_SHORT: entry->value = static_cast<Word>(int_of(value, value_type)) & 0xffffu; break;
      case T_FLOAT: entry->value = float_bits(float_of(value, value_type)); break;
      default: entry->value = static_cast<Word>(int_of(value, value_type)); break;
    }
    return;
  }
  switch (entry->type) {
    case T_CHAR: write_u8(entry->value, static_cast<Word>(int_of(value, value_type))); break;
    case T_SHORT: write_u16(entry->value, static_cast<Word>(int_of(value, value_type))); break;
    case T_INT: write_word(entry->value, static_cast<Word>(int_of(value, value_type))); break;
    case T_FLOAT: write_word(entry->value, float_bits(float_of(value, value_type))); break;
    case T_STRING: store_string(entry, value); break;
    default: store_object(entry, value, value_type); break;
  }
}

Word convert_value(Word value, TypeWord value_type, TypeWord target) {
  VarEntry temp{};
  temp.type = target;
  store_value(&temp, value, value_type);
  return temp.value;
}

void compound_assign(VarEntry* entry, Word value, TypeWord value_type, int op) {
  TypeWord type = entry->type;
  if (entry->size == 0) {
    if (type == T_FLOAT) {
      float f = bits_float(entry->value);
      apply_float_op(&f, float_of(value, value_type), op);
      entry->value = float_bits(f);
      return;
    }
    std::int32_t t = static_cast<std::int32_t>(entry->value);
    bool pointer = ptr_depth(type) != 0 && dims(type) == 0;
    apply_int_op(&t, pointer ? scaled(value, value_type, type) : int_of(value, value_type), op);
    Word w = static_cast<Word>(t);
    entry->value = type == T_CHAR ? (w & 0xffu) : type == T_SHORT ? (w & 0xffffu) : w;
    return;
  }
  Addr at = entry->value;
  std::int32_t t;
  switch (type) {
    case T_CHAR:
      t = read_i8(at);
      apply_int_op(&t, int_of(value, value_type), op);
      write_u8(at, static_cast<Word>(t));
      return;
    case T_SHORT:
      t = read_i16(at);
      apply_int_op(&t, int_of(value, value_type), op);
      write_u16(at, static_cast<Word>(t));
      return;
    case T_INT:
      t = static_cast<std::int32_t>(read_word(at));
      apply_int_op(&t, int_of(value, value_type), op);
      write_word(at, static_cast<Word>(t));
      return;
    case T_FLOAT: {
      float f = bits_float(read_word(at));
      apply_float_op(&f, float_of(value, value_type), op);
      write_word(at, float_bits(f));
      return;
    }
    default:
      if (!is_pointer_word(entry)) {
        store_value(entry, value, value_type);  // strings, regions, arrays: plain store
        return;
      }
      t = static_cast<std::int32_t>(read_word(at));
      apply_int_op(&t, scaled(value, value_type, type), op);
      write_word(at, static_cast<Word>(t));
  }
}

void apply_int_op(std::int32_t* target, std::int32_t v, int op) {
  std::uint32_t a = static_cast<std::uint32_t>(*target);
  std::uint32_t b = static_cast<std::uint32_t>(v);
  std::uint32_t shift = b & 31u;
  switch (op) {
    case '+': a += b; break;
    case '-': a -= b; break;
    case '*': a *= b; break;
    case '/':
      if (v == 0) raise_error(ERR_DIVISION_BY_ZERO);
      if (v != -1) a = static_cast<std::uint32_t>(*target / v);
      else a = 0u - a;  // wraps: the most negative integer stays itself
      break;
    case '%':
      if (v == 0) raise_error(ERR_DIVISION_BY_ZERO);
      a = v == -1 ? 0u : static_cast<std::uint32_t>(*target % v);
      break;
    case '&': a &= b; break;
    case '|': a |= b; break;
    case '^': a ^= b; break;
    case 7: a <<= shift; break;
    case 8: a = (a & 0x80000000u) ? ~(~a >> shift) : a >> shift; break;
    default: a = b; break;
  }
  *target = static_cast<std::int32_t>(a);
}

void apply_float_op(float* target, float v, int op) {
  switch (op) {
    case '+': *target += v; break;
    case '-': *target -= v; break;
    case '*': *target *= v; break;
    case '/': *target /= v; break;
    default: *target = v; break;
  }
}

}  // namespace kelpa

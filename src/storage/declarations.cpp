// Declarations: a type keyword followed by declarators, executed every time
// control passes over them. Each declarator becomes a fresh entry at the top
// of the variable table: a scalar held inline, a string or region with arena
// storage, an array with run-time dimensions (their sizes stored just below
// the data), or a function whose parameter list and body are passed over.
#include "storage/declarations.h"

#include <cstdint>

#include "expr/eval.h"
#include "interp/errors.h"
#include "interp/prescan.h"
#include "lexer/scanner.h"
#include "storage/address_space.h"
#include "storage/assignment.h"
#include "storage/types.h"
#include "storage/var_table.h"

namespace kelpa {

namespace {

// Pointer depth and dimension count are 8-bit fields of a type word.
constexpr std::uint32_t FIELD_LIMIT = 255;

bool token_is(char c) { return interp.token_text[0] == c && interp.token_text[1] == 0; }

std::uint32_t round4(std::uint32_t n) { return (n + 3u) & ~3u; }

// Reads the '*' tokens from the current one (of class `cls`) on; returns
// their count and leaves the class of the token after them in `cls`.
std::uint32_t read_stars(int* cls) {
  std::uint32_t stars = 0;
  while (token_is('*')) {
    if (++stars > FIELD_LIMIT) raise_error(ERR_SYNTAX);
    *cls = next_token();
  }
  return stars;
}

// A function definition: remember where its parameter list starts, pass over
// the list and the body. Without a body the entry is left inert.
void declare_function(VarEntry* e) {
  e->size = KIND_FUNCTION;
  e->value = 0;
  e->position = interp.cursor;
  check_brackets();
  next_token();
  if (token_is('{')) {
    check_brackets();
    return;
  }
  e->name[0] = 0;
  e->position = nullptr;
}

// Places `bytes` of storage for the entry (nothing when it is held inline).
void place_storage(VarEntry* e, std::uint32_t bytes) {
  if (bytes == 0) {
    e->size = 0;
    return;
  }
  e->size = static_cast<std::int32_t>(round4(bytes));
  e->value = arena_alloc(round4(bytes), 4);
}

// The dimensions at the current '[': every size is evaluated first and only
// then placed, directly below the data, so that calls made by a dimension
// expression cannot overwrite sizes already read.
void declare_array(VarEntry* e, int base_type) {
  if (base_type == T_STRING) {
    std::uint32_t p = ptr_depth(e->type);
    if (p >= FIELD_LIMIT) raise_error(ERR_SYNTAX);
    e->type = with_ptr_depth(T_CHAR, p + 1);
  }
  Word sizes[FIELD_LIMIT];
  std::uint32_t count = 0;
  std::uint64_t elements = 1;
  while (token_is('[')) {
    if (count >= FIELD_LIMIT) raise_error(ERR_SYNTAX);
    Word v = eval_expression();
    std::int32_t n = interp.expr_type == T_FLOAT ? int_of(v, T_FLOAT) : static_cast<std::int32_t>(v);
    if (n <= 0) raise_error(ERR_PARAMETER);
    elements *= static_cast<std::uint32_t>(n);
    if (elements > ARENA_SIZE) raise_error(ERR_OUT_OF_RANGE);
    next_token();
    if (!token_is(']')) raise_error(ERR_BRACKETS);
    next_token();
    sizes[count++] = static_cast<Word>(n);
  }
  std::uint64_t bytes = elements * static_cast<std::uint32_t>(element_size(e->type));
  if (bytes > ARENA_SIZE) raise_error(ERR_OUT_OF_RANGE);
  std::uint32_t data = round4(static_cast<std::uint32_t>(bytes));
  Addr at = arena_alloc(4 * count + data, 4);
  for (std::uint32_t i = 0; i < count; ++i) write_word(at + 4 * i, sizes[i]);
  e->type = with_dims(e->type, count);
  e->size = static_cast<std::int32_t>(data);
  e->value = at + 4 * count;
}

}  // namespace

void declare_one(VarEntry* e, int base_type) {
  int cls = next_token();
  e->type = with_ptr_depth(static_cast<TypeWord>(base_type), read_stars(&cls));
  if (cls != TK_IDENT) raise_error(ERR_SYNTAX);
  set_name(e, interp.token_text);
  next_token();
  if (token_is('(')) {
    declare_function(e);
    return;
  }
  if (token_is('[')) {
    declare_array(e, base_type);
    return;
  }
  std::uint32_t bytes = base_type == T_STRING ? 64u : static_cast<std::uint32_t>(element_size(e->type));
  place_storage(e, bytes <= 4 ? 0 : bytes);
}

void declare_list(int base_type) {
  VarEntry* e;
  do {
    e = alloc_var();
    declare_one(e, base_type);
    if (interp.token_text[0] == '=' && e->size >= 0) {
      Word v = eval_to_delimiter();
      store_value(e, v, interp.expr_type);
    }
  } while (token_is(','));
  if (token_is(';') || (token_is('}') && e->size == KIND_FUNCTION)) return;
  raise_error(ERR_SEMICOLON);
}

}  // namespace kelpa

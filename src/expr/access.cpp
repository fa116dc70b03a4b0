// Indexing, region fields and brace initializer lists.
//
// access_element describes the element a chain of subscripts or a region
// field names in a caller-supplied element entry; it computes an address but
// reads and writes nothing, so a subscript out of its variable's range
// surfaces as "out of range" only when the element is read or written
// outside every block. Subscript arithmetic is done in uint32_t and wraps.
//
// eval_initializer_list flattens a brace list into value/type pairs kept last
// in the arena, preceded by a word holding their count so that consumers
// never read past the last pair.
#include <strings.h>

#include "expr/eval.h"
#include "interp/errors.h"
#include "lexer/scanner.h"
#include "storage/address_space.h"
#include "storage/types.h"

namespace kelpa {

namespace {

const char* const region_field_names[] = {"left", "bottom", "right", "top", "x", "y", "w", "h", ""};

bool token_is(char c) { return interp.token_text[0] == c && interp.token_text[1] == 0; }

void fill_element(VarEntry* elem, TypeWord type, Addr address, std::int32_t size) {
  elem->name[0] = 0;
  elem->type = type;
  elem->value = address;
  elem->size = size;
  elem->position = nullptr;
  elem->routine = nullptr;
  elem->heap = 0;
  elem->return_word = 0;
}

// "." after a region variable: one of the eight fields by name.
VarEntry* region_field(const VarEntry* var, VarEntry* elem) {
  if (var->type != T_REGION) raise_error(ERR_SYNTAX);
  next_token();
  for (std::uint32_t i = 0; region_field_names[i][0]; ++i) {
    if (strcasecmp(interp.token_text, region_field_names[i]) != 0) continue;
    fill_element(elem, T_INT, var->value + 4u * i, 4);
    next_token();
    return elem;
  }
  raise_error(ERR_SYNTAX);
}

// One "[expr]" at the current "["; returns the subscript and reads the token
// after the "]".
std::uint32_t read_subscript() {
  Word sub = eval_to_delimiter();
  if (!token_is(']')) raise_error(ERR_BRACKETS);
  next_token();
  return sub;
}

// What a subscript chain walks over.
struct Indexed {
  TypeWord element;        // type of one element
  std::uint32_t size;      // its byte size
  std::uint32_t dims;      // array dimensions; 0 for a string or pointer
  std::uint32_t stride;    // bytes left to index: the whole array, divided by each dimension in turn
};

Indexed classify(const VarEntry* var) {
  TypeWord t = var->type;
  if (t == T_STRING) return {T_CHAR, 1, 0, 1};
  if (dims(t) > 0) {
    TypeWord b = element_type(t);
    std::uint32_t s = static_cast<std::uint32_t>(element_size(b));
    std::uint32_t w = s;
    for (std::uint32_t k = 0; k < dims(t); ++k) w *= read_word(var->value - 4u * (dims(t) - k));
    return {b, s, dims(t), w};
  }
  if (ptr_depth(t) > 0) {
    TypeWord b = pointee_type(t);
    std::uint32_t s = static_cast<std::uint32_t>(element_size(b));
    return {b, s, 0, s};
  }
  raise_error(ERR_PARAMETER);
}

VarEntry* subscripts(const VarEntry* var, VarEntry* elem) {
  Indexed ix = classify(var);
  Addr address = var->value;
  std::uint32_t used = 0;
  const std::uint32_t allowed = ix.dims ? ix.dims : 1;
  while (token_is('[')) {
    if (used == allowed) raise_error(ERR_PARAMETER);
    std::uint32_t sub = read_subscript();
    if (ix.dims - used >= 2) {
      std::uint32_t dim = read_word(var->value - 4u * (ix.dims - used));
      if (dim == 0) raise_error(ERR_PARAMETER);
      ix.stride /= dim;
      address += sub * ix.stride;
    } else {
      address += sub * ix.size;
    }
    ++used;
  }
  if (used < allowed) {
    fill_element(elem, address_of_type(ix.element), address, 0);
  } else {
    fill_element(elem, ix.element, address, static_cast<std::int32_t>(ix.size));
  }
  return elem;
}

}  // namespace

VarEntry* access_element(VarEntry* var, VarEntry* elem) {
  if (token_is('[')) return subscripts(var, elem);
  if (token_is('.')) return region_field(var, elem);
  if (interp.token_text[0] == OP_ARROW) {
    next_token();
    raise_error(ERR_SYNTAX);
  }
  return var;
}

namespace {

// The run of pairs being built: a count word at `start`, `count` pairs after
// it, ending at arena_top.
struct ListRun {
  Addr start;
  std::uint32_t count;

  Addr end() const { return start + 4u + 8u * count; }

  // An item's evaluation left data in the arena: copy the run above it so
  // that it stays contiguous and last.
  void keep_last() {
    if (interp.arena_top == end()) return;
    std::uint32_t bytes = 4u + 8u * count;
    Addr moved = arena_alloc(bytes, 4);
    copy_bytes(moved, start, bytes);
    start = moved;
  }

  std::int32_t finish(Word* slot) const {
    write_word(start, count);
    *slot = start + 4u;
    return static_cast<std::int32_t>(count);
  }

  void append(Word value, TypeWord type) {
    Addr pair = arena_alloc(8, 4);
    write_word(pair, value);
    write_word(pair + 4, type);
    ++count;
  }
};

}  // namespace

std::int32_t eval_initializer_list(Word* slot) {
  std::int32_t depth = 1;
  int cls = next_token();
  ListRun run{arena_alloc(4, 4), 0};
  for (;;) {
    while (cls == TK_BRACE && token_is('{')) {
      ++depth;
      cls = next_token();
    }
    Word value = 0;
    eval_from_token(&value, cls);
    run.keep_last();
    // Execution stopped inside an item (the text ended): wind down quietly.
    if (!interp.cursor) return run.finish(slot);
    if (interp.expr_type == 0) raise_error(ERR_PARAMETER);
    run.append(value, interp.expr_type);
    while (token_is('}')) {
      next_token();
      if (--depth == 0) return run.finish(slot);
    }
    // Items are separated by commas; anything else leaves the list malformed.
    if (!token_is(',')) raise_error(ERR_PARAMETER);
    cls = next_token();
  }
}

std::int32_t list_count(Addr list) {
  std::int32_t n = static_cast<std::int32_t>(read_word(list - 4u));
  return n < 0 ? 0 : n;
}

}  // namespace kelpa

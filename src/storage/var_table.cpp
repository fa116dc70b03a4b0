// The variable table: entry allocation, registration of the library, the
// block and call stacks, and the newest-first lookups.
#include "storage/var_table.h"

#include <strings.h>

#include <cstring>

#include "builtins/builtins.h"
#include "interp/errors.h"
#include "storage/address_space.h"

namespace kelpa {

void drop_storage(VarEntry* e) {
  if (e->heap) {
    heap_free(e->heap);
    e->heap = 0;
  }
  if (e->size > 0) e->size = 0;
}

VarEntry* alloc_var() {
  if (interp.var_count >= VAR_LIMIT) raise_error(ERR_TOO_MANY_VARIABLES);
  VarEntry* e = &interp.var_table[interp.var_count++];
  drop_storage(e);
  e->name[0] = 0;
  return e;
}

void set_name(VarEntry* e, const char* name) {
  std::size_t n = std::strlen(name);
  if (n >= NAME_SIZE) n = NAME_SIZE - 1;
  std::memcpy(e->name, name, n);
  e->name[n] = 0;
}

void register_constant(const char* name, Word value, TypeWord type) {
  VarEntry* e = alloc_var();
  set_name(e, name);
  e->value = value;
  e->type = type;
  e->size = KIND_CONSTANT;
}

void register_builtin(const char* name, BuiltinFn routine, TypeWord type) {
  VarEntry* e = alloc_var();
  set_name(e, name);
  e->routine = routine;
  e->value = 0;
  e->type = type;
  e->size = KIND_BUILTIN;
}

void register_library() {
  for (const ConstantRow* r = constant_table; r->name[0]; ++r) register_constant(r->name, r->value, r->type);
  for (const ConstantRow* r = orientation_table; r->name[0]; ++r) register_constant(r->name, r->value, r->type);
  for (const BuiltinRow* r = builtin_table; r->name[0]; ++r) register_builtin(r->name, r->routine, r->type);
  for (const BuiltinRow* r = extra_builtin_table; r->name[0]; ++r) register_builtin(r->name, r->routine, r->type);
}

void push_block(std::int32_t count, Addr top) {
  if (interp.block_depth >= BLOCK_LIMIT - 1) raise_error(ERR_TOO_MANY_BLOCKS);
  interp.block_stack[interp.block_depth++] = {count, top};
}

void pop_blocks(std::int32_t n) {
  if (n < 0 || n > interp.block_depth) raise_error(ERR_TOO_MANY_BLOCKS);
  interp.block_depth -= n;
  const BlockMark& m = interp.block_stack[interp.block_depth];
  interp.var_count = m.var_count;
  interp.arena_top = m.arena_top;
}

void push_call_frame(std::int32_t base) {
  if (interp.call_depth >= CALL_LIMIT) raise_error(ERR_TOO_MANY_CALLS);
  interp.call_stack[++interp.call_depth] = base;
}

std::int32_t pop_call_frame() {
  if (interp.call_depth <= 0) raise_error(ERR_TOO_MANY_CALLS);
  return interp.call_stack[interp.call_depth--];
}

namespace {

// Kinds a lookup accepts.
enum Accept { ANY, ONE_KIND, VARIABLES };

bool accepts(const VarEntry& e, Accept accept, std::int32_t kind) {
  switch (accept) {
    case ANY: return true;
    case ONE_KIND: return e.size == kind;
    case VARIABLES: return e.size >= 0;
  }
  return false;
}

VarEntry* scan(std::int32_t from, std::int32_t down_to, const char* name, Accept accept, std::int32_t kind) {
  for (std::int32_t i = from; i >= down_to; --i) {
    VarEntry& e = interp.var_table[i];
    if (accepts(e, accept, kind) && strcasecmp(e.name, name) == 0) return &e;
  }
  return nullptr;
}

VarEntry* lookup(const char* name, Accept accept, std::int32_t kind) {
  if (!interp.var_table || !name[0]) return nullptr;
  VarEntry* e = scan(interp.var_count - 1, interp.call_stack[interp.call_depth], name, accept, kind);
  if (e || interp.call_depth == 0) return e;
  return scan(interp.call_stack[1] - 1, 0, name, accept, kind);
}

}  // namespace

VarEntry* find_name(const char* name) { return lookup(name, ANY, 0); }
VarEntry* find_entry(const char* name, std::int32_t kind) { return lookup(name, ONE_KIND, kind); }
VarEntry* find_variable(const char* name) { return lookup(name, VARIABLES, 0); }

std::int32_t function_index(const char* name) {
  VarEntry* e = find_entry(name, KIND_FUNCTION);
  return e ? var_index(e) : -1;
}

}  // namespace kelpa

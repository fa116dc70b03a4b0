// The variable table: entry allocation, registration of the library, the
// block and call stacks, and the newest-first lookups.
//
// Lookups give the answers of a newest-first scan of the visible entries,
// but walk only the entries whose folded name falls in the same bucket:
// every named entry is linked into the chain of its bucket, ordered newest
// first, and unlinked when var_count drops below it. Entries are taken and
// given back in stack order, so linking and unlinking touch the chain head
// and leaving a scope costs one step per entry it held.
#include "storage/var_table.h"

#include <cstring>

#include "builtins/builtins.h"
#include "interp/errors.h"
#include "lexer/scanner.h"
#include "storage/address_space.h"

namespace kelpa {

void drop_storage(VarEntry* e) {
  if (e->heap) {
    heap_free(e->heap);
    e->heap = 0;
  }
  if (e->size > 0) e->size = 0;
}

namespace {

inline char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Equal names, ignoring letter case.
inline bool same_name(const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (*a != *b && fold(*a) != fold(*b)) return false;
    if (*a == 0) return true;
  }
}

inline std::int32_t& bucket_head(std::uint32_t hash) { return interp.name_heads[hash & (NAME_BUCKETS - 1)]; }

// Links a named entry into its bucket's chain, keeping the chain ordered
// from the highest index down.
void link_name(VarEntry* e) {
  const std::int32_t index = var_index(e);
  e->name_hash = name_hash(e->name);
  std::int32_t* link = &bucket_head(e->name_hash);
  while (*link > index) link = &interp.var_table[*link].name_chain;
  e->name_chain = *link;
  *link = index;
}

void unlink_name(VarEntry* e) {
  if (e->name_hash == 0) return;
  const std::int32_t index = var_index(e);
  std::int32_t* link = &bucket_head(e->name_hash);
  while (*link != index && *link >= 0) link = &interp.var_table[*link].name_chain;
  if (*link == index) *link = e->name_chain;
  e->name_hash = 0;
}

}  // namespace

void reset_names() {
  for (std::int32_t& head : interp.name_heads) head = -1;
}

void truncate_vars(std::int32_t count) {
  for (std::int32_t i = interp.var_count - 1; i >= count; --i) unlink_name(&interp.var_table[i]);
  interp.var_count = count;
}

VarEntry* alloc_var() {
  if (interp.var_count >= VAR_LIMIT) raise_error(ERR_TOO_MANY_VARIABLES);
  VarEntry* e = &interp.var_table[interp.var_count++];
  drop_storage(e);
  e->name[0] = 0;
  return e;
}

void set_name(VarEntry* e, const char* name) {
  unlink_name(e);
  std::size_t n = std::strlen(name);
  if (n >= NAME_SIZE) n = NAME_SIZE - 1;
  std::memcpy(e->name, name, n);
  e->name[n] = 0;
  if (n > 0) link_name(e);
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
  truncate_vars(m.var_count);
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

// The innermost call's entries (from its frame base up) are visible, then
// the globals below the first frame; the entries of the calls in between
// are not. Outside any call everything is visible.
inline bool visible(std::int32_t i) {
  return i >= interp.call_stack[interp.call_depth] || (interp.call_depth > 0 && i < interp.call_stack[1]);
}

// Walks the chain of the name's bucket, newest first, to the first visible
// entry that matches.
[[gnu::noinline]] VarEntry* walk_chain(const char* name, std::uint32_t hash, Accept accept, std::int32_t kind) {
  for (std::int32_t i = bucket_head(hash); i >= 0; i = interp.var_table[i].name_chain) {
    VarEntry& e = interp.var_table[i];
    if (e.name_hash == hash && visible(i) && accepts(e, accept, kind) && same_name(e.name, name)) return &e;
  }
  return nullptr;
}

// Most lookups are answered by the newest entry of the name's bucket: when
// it is visible and matches, nothing newer of that name can exist. Anything
// else walks the chain.
inline VarEntry* lookup(const char* name, Accept accept, std::int32_t kind) {
  if (!name[0] || !interp.var_table) return nullptr;
  // The current token's hash is known when the name is the token itself.
  const std::uint32_t hash = name == interp.token_text && interp.token_hash ? interp.token_hash : name_hash(name);
  const std::int32_t head = bucket_head(hash);
  if (head >= 0) {
    VarEntry& e = interp.var_table[head];
    if (e.name_hash == hash && visible(head) && accepts(e, accept, kind) && same_name(e.name, name)) return &e;
  }
  return walk_chain(name, hash, accept, kind);
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

// The variable table and its scopes.
//
// All named things live in one table of VAR_LIMIT entries, newest last.
// Blocks and calls are made by saving and restoring var_count (and
// arena_top); lookups find the newest entry of the innermost call, from its
// frame base up, else the newest global, comparing names without letter
// case. A chain per hash bucket of the folded name keeps lookups short.
#ifndef KELPA_STORAGE_VAR_TABLE_H
#define KELPA_STORAGE_VAR_TABLE_H

#include <cstdint>

#include "interp/state.h"

namespace kelpa {

// Gives back the entries from `count` up (var_count drops to `count`).
// Every lowering of var_count goes through here so that the name chains
// hold only visible entries.
void truncate_vars(std::int32_t count);

// Empties every name chain (start-up: no entry is named yet).
void reset_names();

// The next free entry; raises "too many variables" when the table is full.
// Heap storage of an earlier occupant is freed; name is emptied, size 0
// unless a function/builtin/constant kind was left there.
VarEntry* alloc_var();

void register_constant(const char* name, Word value, TypeWord type);
void register_builtin(const char* name, BuiltinFn routine, TypeWord type);
void register_library();

void push_block(std::int32_t count, Addr top);
void pop_blocks(std::int32_t n);
void push_call_frame(std::int32_t base);
std::int32_t pop_call_frame();

VarEntry* find_name(const char* name);
VarEntry* find_entry(const char* name, std::int32_t kind);
VarEntry* find_variable(const char* name);
std::int32_t function_index(const char* name);

inline std::int32_t var_index(const VarEntry* e) { return static_cast<std::int32_t>(e - interp.var_table); }

// Copies a name into an entry (the scanner's tokens always fit).
void set_name(VarEntry* e, const char* name);

// Frees heap storage owned by an entry and clears its size.
void drop_storage(VarEntry* e);

}  // namespace kelpa

#endif

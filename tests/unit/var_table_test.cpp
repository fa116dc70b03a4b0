// The variable table: the registered library, lookup order across blocks
// and calls, hiding, and the limits of entries, blocks and calls.
#include "storage/var_table.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "storage/address_space.h"
#include "storage/types.h"

namespace kelpa {
namespace {

class VarTable : public test::FreshInterpreter {
 protected:
  static VarEntry* add(const char* name, Word value) {
    VarEntry* e = alloc_var();
    set_name(e, name);
    e->type = T_INT;
    e->value = value;
    e->size = 0;
    return e;
  }
};

TEST_F(VarTable, LibraryIsRegisteredInOrder) {
  EXPECT_EQ(interp.var_count, 35);
  VarEntry* null_entry = find_name("null");
  ASSERT_NE(null_entry, nullptr);
  EXPECT_EQ(var_index(null_entry), 0);
  EXPECT_EQ(null_entry->size, KIND_CONSTANT);
  EXPECT_EQ(null_entry->type, T_INT);
  EXPECT_EQ(find_name("MYR90")->value, 7u);
  VarEntry* printf_entry = find_entry("PRINTF", KIND_BUILTIN);
  ASSERT_NE(printf_entry, nullptr);
  EXPECT_EQ(var_index(printf_entry), 11);
  EXPECT_EQ(var_index(find_entry("GetParamStr", KIND_BUILTIN)), 34);
  EXPECT_EQ(find_entry("strcpy", KIND_BUILTIN)->type, T_CHAR_POINTER);
  EXPECT_EQ(function_index("getch"), -1);
}

TEST_F(VarTable, NewerEntriesHideOlderOnes) {
  add("printf", 5);  // a global hides the builtin for expressions ...
  EXPECT_EQ(find_name("printf")->size, 0);
  // ... while a call by name still reaches the builtin.
  EXPECT_EQ(find_entry("printf", KIND_BUILTIN)->size, KIND_BUILTIN);
  EXPECT_EQ(find_variable("NULL"), nullptr);  // constants are not variables
  VarEntry* e = add("", 9);                   // unnamed entries are never found
  EXPECT_EQ(find_name(""), nullptr);
  // Long names keep every character, so two of them never collide.
  set_name(e, "averyveryverylongnamethatgoeswellpastthirtyonecharacters_a");
  add("averyveryverylongnamethatgoeswellpastthirtyonecharacters_b", 8);
  EXPECT_EQ(find_name("averyveryverylongnamethatgoeswellpastthirtyonecharacters_a")->value, 9u);
}

TEST_F(VarTable, CalleesSeeTheirOwnFrameThenGlobals) {
  add("i", 1);                                   // global
  add("g", 2);                                   // global
  std::int32_t caller_base = interp.var_count;
  push_call_frame(caller_base);
  add("i", 10);                                  // caller's local
  push_block(interp.var_count, interp.arena_top);
  add("i", 11);                                  // caller's inner block
  EXPECT_EQ(find_name("I")->value, 11u);
  pop_blocks(1);
  EXPECT_EQ(find_name("i")->value, 10u);
  std::int32_t callee_base = interp.var_count;
  push_call_frame(callee_base);
  EXPECT_EQ(find_name("i")->value, 1u);          // never the caller's local
  add("g", 20);
  EXPECT_EQ(find_name("g")->value, 20u);
  interp.var_count = pop_call_frame();
  EXPECT_EQ(interp.var_count, callee_base);
  EXPECT_EQ(find_name("g")->value, 2u);
  interp.var_count = pop_call_frame();
  EXPECT_EQ(find_name("i")->value, 1u);
}

TEST_F(VarTable, Limits) {
  while (interp.var_count < VAR_LIMIT) alloc_var();
  EXPECT_EQ(test::raised([] { alloc_var(); }), ERR_TOO_MANY_VARIABLES);
  for (int i = 0; i < BLOCK_LIMIT - 1; ++i) push_block(0, ARENA_BASE);
  EXPECT_EQ(test::raised([] { push_block(0, ARENA_BASE); }), ERR_TOO_MANY_BLOCKS);
  pop_blocks(BLOCK_LIMIT - 1);
  EXPECT_EQ(interp.block_depth, 0);
  EXPECT_EQ(test::raised([] { pop_blocks(1); }), ERR_TOO_MANY_BLOCKS);
  for (int i = 0; i < CALL_LIMIT; ++i) push_call_frame(35);
  EXPECT_EQ(test::raised([] { push_call_frame(35); }), ERR_TOO_MANY_CALLS);
  for (int i = 0; i < CALL_LIMIT; ++i) pop_call_frame();
  EXPECT_EQ(test::raised([] { pop_call_frame(); }), ERR_TOO_MANY_CALLS);
}

TEST_F(VarTable, HeapStorageIsFreedWhenTheSlotIsReused) {
  std::int32_t count = interp.var_count;
  VarEntry* s = add("s", 0);
  s->heap = heap_alloc(200);
  s->value = s->heap;
  s->size = 200;
  interp.var_count = count;  // the block that held s has ended
  EXPECT_EQ(heap_block_count(), 1u);
  VarEntry* t = alloc_var();
  EXPECT_EQ(t, s);
  EXPECT_EQ(t->size, 0);
  EXPECT_EQ(heap_block_count(), 0u);
}

}  // namespace
}  // namespace kelpa

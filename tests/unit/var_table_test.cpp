// The variable table: the registered library, lookup order across blocks
// and calls, hiding, and the limits of entries, blocks and calls.
#include "storage/var_table.h"

#include <gtest/gtest.h>
#include <strings.h>

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
  truncate_vars(pop_call_frame());
  EXPECT_EQ(interp.var_count, callee_base);
  EXPECT_EQ(find_name("g")->value, 2u);
  truncate_vars(pop_call_frame());
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
  truncate_vars(count);  // the block that held s has ended
  EXPECT_EQ(heap_block_count(), 1u);
  VarEntry* t = alloc_var();
  EXPECT_EQ(t, s);
  EXPECT_EQ(t->size, 0);
  EXPECT_EQ(heap_block_count(), 0u);
}

}  // namespace
}  // namespace kelpa

namespace kelpa {
namespace {

// The newest-first scan that the chained lookup must agree with.
VarEntry* reference_find(const char* name) {
  auto scan = [&](std::int32_t from, std::int32_t down_to) -> VarEntry* {
    for (std::int32_t i = from; i >= down_to; --i) {
      if (strcasecmp(interp.var_table[i].name, name) == 0) return &interp.var_table[i];
    }
    return nullptr;
  };
  VarEntry* e = scan(interp.var_count - 1, interp.call_stack[interp.call_depth]);
  if (e || interp.call_depth == 0) return e;
  return scan(interp.call_stack[1] - 1, 0);
}

// Random blocks, calls, declarations, renames and hidden names, with every
// lookup checked against the plain scan. Few names and many entries make
// the chains long and shared, and the 1024 buckets make some names share one.
TEST_F(VarTable, ChainedLookupAgreesWithTheScan) {
  const char* names[] = {"i", "I", "n", "count", "COUNT", "x1", "printf", "strcpy", "main", "k"};
  std::uint32_t seed = 12345;
  auto next = [&](std::uint32_t bound) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % bound;
  };
  std::int32_t mismatches = 0;
  for (int step = 0; step < 20000; ++step) {
    switch (next(8)) {
      case 0: case 1: case 2:
        if (interp.var_count < VAR_LIMIT - 1) add(names[next(10)], static_cast<Word>(step));
        break;
      case 3:
        if (interp.block_depth < BLOCK_LIMIT - 2) push_block(interp.var_count, interp.arena_top);
        break;
      case 4:
        if (interp.block_depth > 0) pop_blocks(1);
        break;
      case 5:
        if (interp.call_depth < 20 && interp.block_depth == 0) push_call_frame(interp.var_count);
        else if (interp.call_depth > 0 && interp.block_depth == 0) truncate_vars(pop_call_frame());
        break;
      case 6: {  // rename or hide an entry of the current frame
        std::int32_t base = interp.call_stack[interp.call_depth];
        if (interp.var_count > base && base >= 35) {
          VarEntry* e = &interp.var_table[base + static_cast<std::int32_t>(next(interp.var_count - base))];
          if (next(2)) set_name(e, names[next(10)]);
          else e->name[0] = 0;
        }
        break;
      }
      default:
        break;
    }
    for (const char* n : names) mismatches += find_name(n) != reference_find(n);
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace kelpa

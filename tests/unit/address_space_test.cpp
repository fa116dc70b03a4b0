// The checked address space: block edges, read-only blocks, stale heap
// addresses, texts that run off their block, arena exhaustion.
#include "storage/address_space.h"

#include <gtest/gtest.h>

#include "harness.h"

namespace kelpa {
namespace {

using AddressSpace = test::FreshInterpreter;

TEST_F(AddressSpace, ArenaEdgesAreExact) {
  Addr last = ARENA_BASE + ARENA_SIZE - 1;
  write_u8(last, 7);
  EXPECT_EQ(read_i8(last), 7);
  EXPECT_EQ(block_room(last, true), 1u);
  EXPECT_EQ(test::raised([] { read_word(ARENA_BASE + ARENA_SIZE - 3); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(test::raised([] { write_u8(ARENA_BASE + ARENA_SIZE, 1); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(test::raised([] { write_u8(ARENA_BASE - 1, 1); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(test::raised([] { read_word(0); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(test::raised([] { read_word(0xFFFFFFFEu); }), ERR_OUT_OF_RANGE);
}

TEST_F(AddressSpace, VariableWordsAreFourByteBlocks) {
  interp.var_table[40].value = 0x11223344;
  EXPECT_EQ(read_word(var_address(40)), 0x11223344u);
  EXPECT_EQ(read_i8(var_address(40) + 3), 0x11);
  write_u16(var_address(40) + 2, 0xBEEF);
  EXPECT_EQ(interp.var_table[40].value, 0xBEEF3344u);
  // A word access that straddles two entries reaches outside one block.
  EXPECT_EQ(test::raised([] { read_word(var_address(40) + 2); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(test::raised([] { read_word(var_address(VAR_LIMIT)); }), ERR_OUT_OF_RANGE);
}

TEST_F(AddressSpace, StaleHeapAddressesFindNothing) {
  Addr a = heap_alloc(10);
  write_word(a + 6, 5);
  EXPECT_EQ(test::raised([] { write_word(HEAP_BASE + 7, 5); }), ERR_OUT_OF_RANGE);
  heap_free(a);
  Addr b = heap_alloc(10);
  EXPECT_NE(a, b);
  EXPECT_EQ(test::raised([&] { read_i8(a); }), ERR_OUT_OF_RANGE);
  heap_free(b);
  EXPECT_EQ(heap_block_count(), 0u);
}

TEST_F(AddressSpace, HeapResizeKeepsAddressWithinSpan) {
  Addr a = heap_alloc(20);
  write_u8(a, 'x');
  Addr b = heap_resize(a, 60);
  EXPECT_EQ(a, b);
  EXPECT_EQ(read_i8(b), 'x');
  write_u8(b + 59, 1);
  Addr c = heap_resize(b, 1000);
  EXPECT_NE(b, c);
  EXPECT_EQ(block_room(c, true), 1000u);
  EXPECT_EQ(heap_block_count(), 1u);
}

TEST_F(AddressSpace, ParameterTextsAreReadOnly) {
  static const char* params[] = {"-in", "data.txt"};
  map_parameters(2, params);
  Addr p = parameter_address(1);
  EXPECT_STREQ(text_at(p), "data.txt");
  EXPECT_EQ(text_length(p + 4), 4u);
  EXPECT_EQ(parameter_address(2), 0u);
  EXPECT_EQ(test::raised([&] { write_u8(p, 'X'); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(test::raised([&] { block_room(p, true); }), ERR_OUT_OF_RANGE);
  map_parameters(0, nullptr);
  EXPECT_EQ(test::raised([&] { text_at(p); }), ERR_OUT_OF_RANGE);
}

TEST_F(AddressSpace, TextMustEndInsideItsBlock) {
  Addr a = heap_alloc(4);
  std::memcpy(writable(a, 4), "abcd", 4);
  EXPECT_EQ(test::raised([&] { text_length(a); }), ERR_OUT_OF_RANGE);
  write_u8(a + 3, 0);
  EXPECT_EQ(text_length(a), 3u);
  // The arena's last byte without a NUL.
  write_u8(ARENA_BASE + ARENA_SIZE - 1, 'z');
  EXPECT_EQ(test::raised([] { text_length(ARENA_BASE + ARENA_SIZE - 1); }), ERR_OUT_OF_RANGE);
}

TEST_F(AddressSpace, ArenaAllocationNeverPassesTheEnd) {
  Addr a = arena_alloc(3, 1);
  EXPECT_EQ(a, ARENA_BASE);
  Addr b = arena_alloc(4, 4);
  EXPECT_EQ(b, ARENA_BASE + 4);
  Addr top = interp.arena_top;
  EXPECT_EQ(test::raised([] { arena_alloc(ARENA_SIZE, 4); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(interp.arena_top, top);
  arena_alloc(ARENA_SIZE - (top - ARENA_BASE), 1);
  EXPECT_EQ(interp.arena_top, ARENA_BASE + ARENA_SIZE);
  EXPECT_EQ(test::raised([] { arena_alloc(1, 1); }), ERR_OUT_OF_RANGE);
}

TEST_F(AddressSpace, CopiesCheckBothRanges) {
  Addr a = arena_alloc(16, 4);
  std::memcpy(writable(a, 6), "hello", 6);
  copy_bytes(a + 8, a, 6);
  EXPECT_STREQ(text_at(a + 8), "hello");
  EXPECT_EQ(test::raised([&] { copy_bytes(var_address(3), a, 5); }), ERR_OUT_OF_RANGE);
}

}  // namespace
}  // namespace kelpa

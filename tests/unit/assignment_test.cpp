// Assignment: narrowing and sign rules, string growth, char array and region
// copies that stay inside their blocks, and the compound operators with their
// faults.
#include <cmath>

#include "harness.h"

namespace kelpa {
namespace {

using namespace test;

constexpr std::int32_t INT_MIN32 = static_cast<std::int32_t>(0x80000000u);

// An inline entry holding `init`, or one with arena storage of `size` bytes
// each set to the low byte of `init`.
VarEntry* var(TypeWord type, std::uint32_t size = 0, Word init = 0) {
  VarEntry* e = alloc_var();
  e->type = type;
  e->size = static_cast<std::int32_t>(size);
  e->value = size ? arena_alloc(size, 4) : init;
  if (size) std::memset(writable(e->value, size), static_cast<int>(init & 0xff), size);
  return e;
}

class Assignment : public FreshInterpreter {};

TEST_F(Assignment, ConversionsAndNarrowing) {
  // Floats outside the int range, NaN included, become the most negative int.
  VarEntry* i = var(T_INT);
  const struct { float f; std::int32_t expected; } truncations[] = {
      {-3.7f, -3}, {std::nanf(""), INT_MIN32}, {3e9f, INT_MIN32}, {-3e9f, INT_MIN32}, {2147483520.0f, 2147483520}};
  for (const auto& t : truncations) {
    store_value(i, float_bits(t.f), T_FLOAT);
    EXPECT_EQ(static_cast<std::int32_t>(i->value), t.expected) << t.f;
  }
  store_value(i, float_bits(1.5f), T_FLOAT | 0x100u);  // only the word 4 is a float
  EXPECT_EQ(i->value, float_bits(1.5f));

  // An inline char keeps no sign; a stored one changes its own byte only.
  VarEntry* c = var(T_CHAR);
  store_value(c, 0xffffffffu, T_INT);
  EXPECT_EQ(c->value, 255u);
  VarEntry* bytes = var(T_CHAR_ARRAY, 4, 0x55);
  VarEntry elem = {"", T_CHAR, bytes->value + 1, 1, nullptr, nullptr, 0, 0, 0, -1};
  store_value(&elem, 0xffffffffu, T_INT);
  EXPECT_EQ(read_word(bytes->value), 0x5555ff55u);
  VarEntry* slot = var(with_ptr_depth(T_INT, 1), 4);  // an element of a pointer array takes the word
  store_value(slot, 0x12345, T_INT);                    // itself, not a copy from that address
  EXPECT_EQ(read_word(slot->value), 0x12345u);
}

TEST_F(Assignment, StringsGrowOntoHeapAndNeverShrink) {
  VarEntry* s = var(T_STRING, 64);
  store_value(s, put(std::string(100, 'x')), T_STRING);
  EXPECT_TRUE(is_heap_storage(s->value));
  EXPECT_EQ(text_at(s->value), std::string(100, 'x'));
  store_value(s, put(std::string(300, 'y')), T_STRING);
  EXPECT_EQ(heap_block_count(), 1u);  // the outgrown heap block went away
  store_value(s, s->value + 250, T_STRING);  // a tail of its own text
  EXPECT_EQ(text_at(s->value), std::string(50, 'y'));
  EXPECT_EQ(s->size, 301);
  store_value(s, 0, T_INT);
  EXPECT_STREQ(text_at(s->value), "");
  EXPECT_EQ(raised([&] { store_value(s, 5, T_INT); }), ERR_OUT_OF_RANGE);

  // A string element reached through a pointer (string *p; p[1] = ...)
  // cannot leave its 64-byte slot: the text is cut.
  VarEntry* arr = var(with_dims(T_CHAR, 1), 128, 0x55);
  VarEntry elem = {"", T_STRING, arr->value + 64, 64, nullptr, nullptr, 0, 0, 0, -1};
  store_value(&elem, put(std::string(100, 'x')), T_STRING);
  EXPECT_EQ(text_at(arr->value + 64), std::string(63, 'x'));
  EXPECT_EQ(read_i8(arr->value + 63), 0x55);
  EXPECT_EQ(heap_block_count(), 1u);
}

TEST_F(Assignment, ArrayAndRegionCopiesStayInsideTheirSources) {
  VarEntry* name = var(T_CHAR_ARRAY, 8, 0x55);
  store_value(name, put("abc"), T_STRING);
  EXPECT_EQ(std::memcmp(readable(name->value, 8), "abc\0\0\0\0\0", 8), 0);
  store_value(name, put("abcdefghij"), T_STRING);
  EXPECT_EQ(std::memcmp(readable(name->value, 8), "abcdefgh", 8), 0);
  Addr tail = arena_tail("12345678", 8);  // no NUL before the block ends
  store_value(name, tail, T_STRING);
  EXPECT_EQ(std::memcmp(readable(name->value, 8), "12345678", 8), 0);
  EXPECT_EQ(raised([&] { store_value(name, tail + 4, T_STRING); }), ERR_OUT_OF_RANGE);

  VarEntry* r = var(T_REGION, 32, 0x11);
  EXPECT_EQ(raised([&] { store_value(r, 5, T_INT); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(raised([&] { store_value(r, var_address(3), T_INT); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(read_word(r->value + 28), 0x11111111u);
  store_value(r, tail - 24, T_REGION);
  EXPECT_EQ(std::memcmp(readable(r->value + 24, 8), "12345678", 8), 0);
}

TEST_F(Assignment, CompoundOperatorsPerTargetKindAndIntegerWrap) {
  VarEntry* x = var(T_INT, 0, 7);
  compound_assign(x, float_bits(2.9f), T_FLOAT, '+');
  EXPECT_EQ(x->value, 9u);
  VarEntry* f = var(T_FLOAT, 0, float_bits(7.0f));
  compound_assign(f, 2, T_INT, '%');  // not a float operator: a plain store
  EXPECT_EQ(bits_float(f->value), 2.0f);
  compound_assign(f, 0, T_INT, '/');
  EXPECT_TRUE(std::isinf(bits_float(f->value)));

  // Pointers step by the pointee's size; a stored char changes one byte.
  VarEntry* slot = var(with_ptr_depth(T_SHORT, 1), 4);
  write_word(slot->value, 100);
  compound_assign(slot, 3, T_INT, '+');
  EXPECT_EQ(read_word(slot->value), 106u);
  VarEntry* byte = var(T_CHAR, 4);
  write_u8(byte->value, 200);
  compound_assign(byte, 1, T_INT, '+');
  EXPECT_EQ(read_word(byte->value), 201u);

  VarEntry* stored = var(T_SHORT, 4);
  EXPECT_EQ(raised([&] { compound_assign(stored, 0, T_INT, '%'); }), ERR_DIVISION_BY_ZERO);
  EXPECT_EQ(raised([&] { compound_assign(x, float_bits(0.5f), T_FLOAT, '/'); }), ERR_DIVISION_BY_ZERO);
  EXPECT_EQ(x->value, 9u);

  // Integer operators wrap without traps; shift counts are taken modulo 32.
  const struct { std::int32_t target, v; int op; std::int32_t expected; } rows[] = {
      {2147483647, 1, '+', INT_MIN32}, {INT_MIN32, 1, '-', 2147483647}, {INT_MIN32, -1, '*', INT_MIN32},
      {INT_MIN32, -1, '/', INT_MIN32}, {INT_MIN32, -1, '%', 0}, {-7, 2, '/', -3}, {-7, 2, '%', -1},
      {1, -1, 7, INT_MIN32}, {INT_MIN32, 31, 8, -1}, {-8, 33, 8, -4}, {0x40000000, 30, 8, 1}, {12, 10, '^', 6},
      {5, 9, 0, 9},
  };
  for (const auto& r : rows) {
    std::int32_t t = r.target;
    apply_int_op(&t, r.v, r.op);
    EXPECT_EQ(t, r.expected) << r.target << " op " << r.op << " " << r.v;
  }
}

}  // namespace
}  // namespace kelpa

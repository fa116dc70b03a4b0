// Assignment: narrowing and sign rules, string growth, char array and object
// copies, initializer lists, the compound operators and their faults.
#include "storage/assignment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "harness.h"
#include "interp/errors.h"
#include "storage/address_space.h"
#include "storage/types.h"
#include "storage/var_table.h"

namespace kelpa {
namespace {

constexpr std::int32_t INT_MIN32 = static_cast<std::int32_t>(0x80000000u);

int error_code(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const ScriptError& e) {
    return e.code;
  }
  return -1;
}

// An entry with arena storage of `size` bytes filled with `fill`, or inline.
VarEntry* var(TypeWord type, std::uint32_t size = 0, std::uint8_t fill = 0) {
  VarEntry* e = alloc_var();
  e->type = type;
  e->size = static_cast<std::int32_t>(size);
  e->value = 0;
  if (size) {
    e->value = arena_alloc(size, 4);
    std::memset(writable(e->value, size), fill, size);
  }
  return e;
}

Addr text(const std::string& s) {
  Addr a = arena_alloc(static_cast<std::uint32_t>(s.size()) + 1, 1);
  std::memcpy(writable(a, static_cast<std::uint32_t>(s.size()) + 1), s.c_str(), s.size() + 1);
  return a;
}

// A list as the evaluator leaves it: a count word, then value/type pairs.
Addr list(std::initializer_list<ArgSlot> pairs) {
  Addr at = arena_alloc(4 + 8 * static_cast<std::uint32_t>(pairs.size()), 4);
  write_word(at, static_cast<Word>(pairs.size()));
  for (const ArgSlot& s : pairs) {
    at += 8;
    write_word(at - 4, s.value);
    write_word(at, s.type);
  }
  return at - 8 * static_cast<Addr>(pairs.size()) + 4;
}

Word neg(std::int32_t v) { return static_cast<Word>(v); }

class Assignment : public ::testing::Test {
 protected:
  void SetUp() override { test::load_text("void main() {}"); }
  void TearDown() override { release_interpreter(); }
  test::Console console_;
};

TEST_F(Assignment, ConversionsAndNarrowing) {
  VarEntry* i = var(T_INT);
  const struct { float f; std::int32_t expected; } truncations[] = {
      {3.7f, 3}, {-3.7f, -3}, {std::nanf(""), INT_MIN32}, {3e9f, INT_MIN32}, {2147483520.0f, 2147483520}};
  for (const auto& t : truncations) {
    store_value(i, float_bits(t.f), T_FLOAT);
    EXPECT_EQ(static_cast<std::int32_t>(i->value), t.expected) << t.f;
  }
  store_value(i, float_bits(1.5f), T_FLOAT | 0x100u);  // only the word 4 is a float
  EXPECT_EQ(i->value, float_bits(1.5f));
  VarEntry* f = var(T_FLOAT);
  store_value(f, neg(-3), T_INT);
  EXPECT_EQ(bits_float(f->value), -3.0f);

  // Inline char and short keep no sign; stored ones are read back signed.
  VarEntry* c = var(T_CHAR);
  store_value(c, 300, T_INT);
  EXPECT_EQ(c->value, 44u);
  store_value(c, neg(-1), T_INT);
  EXPECT_EQ(c->value, 255u);
  VarEntry* s = var(T_SHORT);
  store_value(s, 70000, T_INT);
  EXPECT_EQ(s->value, 4464u);
  VarEntry* bytes = var(T_CHAR_ARRAY, 4, 0x55);
  VarEntry elem = {"", T_CHAR, bytes->value + 1, 1, nullptr, nullptr, 0, 0};
  store_value(&elem, neg(-1), T_INT);
  EXPECT_EQ(read_word(bytes->value), 0x5555ff55u);
  VarEntry* sh = var(T_SHORT, 4);
  store_value(sh, float_bits(-2.5f), T_FLOAT);
  EXPECT_EQ(read_i16(sh->value), -2);
  VarEntry* slot = var(with_ptr_depth(T_INT, 1), 4);  // an element of a pointer array
  store_value(slot, 0x12345, T_INT);
  EXPECT_EQ(read_word(slot->value), 0x12345u);
}

TEST_F(Assignment, StringsGrowOntoHeapAndNeverShrink) {
  VarEntry* s = var(T_STRING, 64);
  std::string long_text(100, 'x');
  store_value(s, text(long_text), T_STRING);
  EXPECT_EQ(s->size, 101);
  EXPECT_TRUE(is_heap_storage(s->value));
  EXPECT_EQ(text_at(s->value), long_text);
  store_value(s, text("ten chars!"), T_STRING);
  EXPECT_EQ(s->size, 101);
  store_value(s, text(std::string(300, 'y')), T_STRING);
  EXPECT_EQ(s->size, 301);
  EXPECT_EQ(heap_block_count(), 1u);  // the outgrown heap block went away
  store_value(s, s->value + 250, T_STRING);  // a tail of its own text
  EXPECT_EQ(text_at(s->value), std::string(50, 'y'));
  store_value(s, 0, T_INT);
  EXPECT_STREQ(text_at(s->value), "");
  EXPECT_EQ(s->size, 301);
  EXPECT_EQ(error_code([&] { store_value(s, 5, T_INT); }), ERR_OUT_OF_RANGE);

  // An element of a string array cannot leave its slot: the text is cut.
  VarEntry* arr = var(with_dims(T_STRING, 1), 128, 0x55);
  VarEntry elem = {"", T_STRING, arr->value + 64, 64, nullptr, nullptr, 0, 0};
  store_value(&elem, text(long_text), T_STRING);
  EXPECT_EQ(text_at(arr->value + 64), std::string(63, 'x'));
  EXPECT_EQ(read_i8(arr->value + 63), 0x55);
  EXPECT_EQ(heap_block_count(), 1u);
}

TEST_F(Assignment, ArrayAndRegionCopiesStayInsideTheirSources) {
  VarEntry* name = var(T_CHAR_ARRAY, 8, 0x55);
  store_value(name, text("abc"), T_STRING);
  EXPECT_EQ(std::memcmp(readable(name->value, 8), "abc\0\0\0\0\0", 8), 0);
  store_value(name, text("abcdefghij"), T_STRING);
  EXPECT_EQ(std::memcmp(readable(name->value, 8), "abcdefgh", 8), 0);
  Addr tail = ARENA_BASE + ARENA_SIZE - 8;  // eight bytes, no NUL, then the block ends
  std::memcpy(writable(tail, 8), "12345678", 8);
  store_value(name, tail, T_STRING);
  EXPECT_EQ(std::memcmp(readable(name->value, 8), "12345678", 8), 0);
  EXPECT_EQ(error_code([&] { store_value(name, tail + 4, T_STRING); }), ERR_OUT_OF_RANGE);

  VarEntry* r = var(T_REGION, 32, 0x11);
  EXPECT_EQ(error_code([&] { store_value(r, 5, T_INT); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(error_code([&] { store_value(r, var_address(3), T_INT); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(read_word(r->value + 28), 0x11111111u);
  store_value(r, tail - 24, T_REGION);
  EXPECT_EQ(std::memcmp(readable(r->value + 24, 8), "12345678", 8), 0);
}

TEST_F(Assignment, ListsFillByElementTypeAndZeroWhatTheyLack) {
  VarEntry* a = var(with_dims(T_INT, 1), 16, 0x55);
  store_value(a, list({{1, T_INT}, {float_bits(2.9f), T_FLOAT}, {3, T_INT}, {4, T_INT}}), T_LIST);
  EXPECT_EQ(read_word(a->value + 4), 2u);
  store_value(a, list({{7, T_INT}}), T_LIST);
  EXPECT_EQ(read_word(a->value + 12), 0u);
  VarEntry* f = var(with_dims(T_FLOAT, 1), 8);
  store_value(f, list({{1, T_INT}, {neg(-2), T_INT}}), T_LIST);
  EXPECT_EQ(bits_float(read_word(f->value + 4)), -2.0f);
  VarEntry* c = var(with_dims(T_CHAR, 2), 6, 0x55);  // char c[2][3]
  store_value(c, list({{300, T_INT}, {neg(-1), T_INT}, {float_bits(66.5f), T_FLOAT}}), T_LIST);
  EXPECT_EQ(std::memcmp(readable(c->value, 6), "\x2c\xff" "B\0\0\0", 6), 0);
  VarEntry* sh = var(with_dims(T_SHORT, 1), 4);
  store_value(sh, list({{70000, T_INT}, {neg(-5), T_INT}}), T_LIST);
  EXPECT_EQ(read_word(sh->value), 0xfffb1170u);
  VarEntry* names = var(with_dims(T_STRING, 1), 128, 0x55);
  store_value(names, list({{text("ab"), T_STRING}}), T_LIST);
  EXPECT_STREQ(text_at(names->value), "ab");
  EXPECT_STREQ(text_at(names->value + 64), "");
}

TEST_F(Assignment, CompoundOperatorsPerTargetKind) {
  VarEntry* x = var(T_INT);
  x->value = 7;
  compound_assign(x, 3, T_INT, '%');
  compound_assign(x, 33, T_INT, 7);
  compound_assign(x, float_bits(2.9f), T_FLOAT, '+');
  EXPECT_EQ(x->value, 4u);
  VarEntry* c = var(T_CHAR);
  c->value = 250;
  compound_assign(c, 10, T_INT, '+');
  EXPECT_EQ(c->value, 4u);
  VarEntry* f = var(T_FLOAT);
  f->value = float_bits(7.0f);
  compound_assign(f, 2, T_INT, '%');  // not a float operator: a plain store
  EXPECT_EQ(bits_float(f->value), 2.0f);
  compound_assign(f, 0, T_INT, '/');
  EXPECT_TRUE(std::isinf(bits_float(f->value)));
  VarEntry* p = var(with_ptr_depth(T_INT, 1));
  p->value = 1000;
  compound_assign(p, 2, T_INT, '+');
  compound_assign(p, 2, T_INT, '*');
  EXPECT_EQ(p->value, 8064u);

  VarEntry* byte = var(T_CHAR, 4);
  write_u8(byte->value, 200);
  compound_assign(byte, 1, T_INT, '+');
  EXPECT_EQ(read_word(byte->value), 201u);
  VarEntry* slot = var(with_ptr_depth(T_SHORT, 1), 4);
  write_word(slot->value, 100);
  compound_assign(slot, 3, T_INT, '+');
  EXPECT_EQ(read_word(slot->value), 106u);
  VarEntry* s = var(T_STRING, 64);
  compound_assign(s, text("new"), T_STRING, '+');
  EXPECT_STREQ(text_at(s->value), "new");
  VarEntry* stored = var(T_SHORT, 4);
  EXPECT_EQ(error_code([&] { compound_assign(stored, 0, T_INT, '%'); }), ERR_DIVISION_BY_ZERO);
  EXPECT_EQ(error_code([&] { compound_assign(x, float_bits(0.5f), T_FLOAT, '/'); }), ERR_DIVISION_BY_ZERO);
  EXPECT_EQ(x->value, 4u);
}

TEST_F(Assignment, IntegerOperatorsWrapWithoutTraps) {
  const struct { std::int32_t target, v; int op; std::int32_t expected; } rows[] = {
      {2147483647, 1, '+', INT_MIN32}, {INT_MIN32, 1, '-', 2147483647}, {INT_MIN32, -1, '*', INT_MIN32},
      {INT_MIN32, -1, '/', INT_MIN32}, {INT_MIN32, -1, '%', 0},         {-7, 2, '/', -3},
      {-7, 2, '%', -1},                {1, -1, 7, INT_MIN32},           {INT_MIN32, 31, 8, -1},
      {-8, 33, 8, -4},                 {0x40000000, 30, 8, 1},          {12, 10, '^', 6},
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

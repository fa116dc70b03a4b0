// Assignment: narrowing and sign rules of inline and stored scalars, string
// growth, char array and object copies, initializer lists, the compound
// operators and the faults they must not turn into undefined behaviour.
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

class Assignment : public ::testing::Test {
 protected:
  void SetUp() override { test::load_text("void main() {}"); }
  void TearDown() override { release_interpreter(); }

  static VarEntry* inline_var(TypeWord type, Word value = 0) {
    VarEntry* e = alloc_var();
    e->type = type;
    e->size = 0;
    e->value = value;
    return e;
  }
  static VarEntry* stored_var(TypeWord type, std::uint32_t size, std::uint8_t fill = 0) {
    VarEntry* e = alloc_var();
    e->type = type;
    e->size = static_cast<std::int32_t>(size);
    e->value = arena_alloc(size, 4);
    std::memset(writable(e->value, size), fill, size);
    return e;
  }
  static Addr text(const std::string& s) {
    Addr a = arena_alloc(static_cast<std::uint32_t>(s.size()) + 1, 1);
    std::memcpy(writable(a, static_cast<std::uint32_t>(s.size()) + 1), s.c_str(), s.size() + 1);
    return a;
  }
  // A list laid out as the evaluator leaves it: a count word, then pairs.
  static Addr list(std::initializer_list<ArgSlot> pairs) {
    Addr at = arena_alloc(4 + 8 * static_cast<std::uint32_t>(pairs.size()), 4);
    write_word(at, static_cast<Word>(pairs.size()));
    Addr p = at + 4;
    for (const ArgSlot& s : pairs) {
      write_word(p, s.value);
      write_word(p + 4, s.type);
      p += 8;
    }
    return at + 4;
  }
  static std::string stored_text(const VarEntry* e) { return text_at(e->value); }

  test::Console console_;
};

TEST_F(Assignment, InlineStoresNarrowWithoutSign) {
  VarEntry* i = inline_var(T_INT);
  store_value(i, float_bits(3.7f), T_FLOAT);
  EXPECT_EQ(i->value, 3u);
  store_value(i, float_bits(-3.7f), T_FLOAT);
  EXPECT_EQ(static_cast<std::int32_t>(i->value), -3);
  store_value(i, float_bits(std::nanf("")), T_FLOAT);
  EXPECT_EQ(static_cast<std::int32_t>(i->value), INT_MIN32);
  store_value(i, float_bits(3e9f), T_FLOAT);
  EXPECT_EQ(static_cast<std::int32_t>(i->value), INT_MIN32);
  store_value(i, float_bits(2147483520.0f), T_FLOAT);
  EXPECT_EQ(static_cast<std::int32_t>(i->value), 2147483520);
  store_value(i, float_bits(1.5f), T_FLOAT | 0x100u);  // only the word 4 is a float
  EXPECT_EQ(i->value, float_bits(1.5f));

  VarEntry* f = inline_var(T_FLOAT);
  store_value(f, static_cast<Word>(-3), T_INT);
  EXPECT_EQ(bits_float(f->value), -3.0f);
  store_value(f, 0x7fc00123u, T_FLOAT);  // a float keeps its exact bits
  EXPECT_EQ(f->value, 0x7fc00123u);

  VarEntry* c = inline_var(T_CHAR);
  store_value(c, 300, T_INT);
  EXPECT_EQ(c->value, 44u);
  store_value(c, static_cast<Word>(-1), T_INT);
  EXPECT_EQ(c->value, 255u);
  VarEntry* s = inline_var(T_SHORT);
  store_value(s, 70000, T_INT);
  EXPECT_EQ(s->value, 4464u);
  store_value(s, float_bits(-1.0f), T_FLOAT);
  EXPECT_EQ(s->value, 65535u);
}

TEST_F(Assignment, StoredScalarsKeepSignAndNeighbours) {
  VarEntry* bytes = stored_var(T_CHAR_ARRAY, 4, 0x55);
  VarEntry elem{};
  elem.type = T_CHAR;
  elem.size = 1;
  elem.value = bytes->value + 1;
  store_value(&elem, static_cast<Word>(-1), T_INT);
  EXPECT_EQ(read_i8(bytes->value + 1), -1);
  EXPECT_EQ(read_i8(bytes->value), 0x55);
  EXPECT_EQ(read_i8(bytes->value + 2), 0x55);

  VarEntry* sh = stored_var(T_SHORT, 4, 0x55);
  store_value(sh, 70000, T_INT);
  EXPECT_EQ(read_i16(sh->value), 4464);
  EXPECT_EQ(read_i16(sh->value + 2), 0x5555);
  store_value(sh, static_cast<Word>(-2), T_INT);
  EXPECT_EQ(read_i16(sh->value), -2);

  VarEntry* in = stored_var(T_INT, 4);
  store_value(in, float_bits(-2.9f), T_FLOAT);
  EXPECT_EQ(static_cast<std::int32_t>(read_word(in->value)), -2);
  VarEntry* fl = stored_var(T_FLOAT, 4);
  store_value(fl, 7, T_INT);
  EXPECT_EQ(bits_float(read_word(fl->value)), 7.0f);

  VarEntry* ptr = stored_var(with_ptr_depth(T_INT, 1), 4);  // element of a pointer array
  store_value(ptr, 0x12345, T_INT);
  EXPECT_EQ(read_word(ptr->value), 0x12345u);
}

TEST_F(Assignment, StringsGrowOntoHeapAndNeverShrink) {
  VarEntry* s = stored_var(T_STRING, 64);
  Addr arena_storage = s->value;
  store_value(s, text("short"), T_STRING);
  EXPECT_EQ(s->value, arena_storage);
  EXPECT_EQ(stored_text(s), "short");

  std::string long_text(100, 'x');
  store_value(s, text(long_text), T_STRING);
  EXPECT_EQ(s->size, 101);
  EXPECT_TRUE(is_heap_storage(s->value));
  EXPECT_EQ(s->heap, s->value);
  EXPECT_EQ(stored_text(s), long_text);

  Addr grown = s->value;
  store_value(s, text("ten chars!"), T_STRING);
  EXPECT_EQ(s->size, 101);
  EXPECT_EQ(s->value, grown);
  EXPECT_EQ(stored_text(s), "ten chars!");

  std::string longer(300, 'y');
  store_value(s, text(longer), T_STRING);
  EXPECT_EQ(s->size, 301);
  EXPECT_EQ(stored_text(s), longer);
  EXPECT_EQ(heap_block_count(), 1u);  // the old heap block was not left behind

  store_value(s, s->value + 250, T_STRING);  // a tail of its own text
  EXPECT_EQ(stored_text(s), std::string(50, 'y'));
  store_value(s, text(""), T_STRING);
  EXPECT_EQ(stored_text(s), "");
  store_value(s, text("z"), T_STRING);
  store_value(s, 0, T_INT);
  EXPECT_EQ(stored_text(s), "");
  EXPECT_EQ(s->size, 301);

  // An element of a string array cannot move out of its array: cut to fit.
  VarEntry* arr = stored_var(with_dims(T_STRING, 1), 128, 0x55);
  VarEntry elem{};
  elem.type = T_STRING;
  elem.size = 64;
  elem.value = arr->value + 64;
  store_value(&elem, text(long_text), T_STRING);
  EXPECT_EQ(elem.value, arr->value + 64);
  EXPECT_EQ(text_at(arr->value + 64), std::string(63, 'x'));
  EXPECT_EQ(read_i8(arr->value + 63), 0x55);
  EXPECT_EQ(heap_block_count(), 1u);
}

TEST_F(Assignment, CharArrayStoreCopiesLikeStrncpy) {
  VarEntry* name = stored_var(T_CHAR_ARRAY, 8, 0x55);
  store_value(name, text("abc"), T_STRING);
  EXPECT_EQ(std::memcmp(readable(name->value, 8), "abc\0\0\0\0\0", 8), 0);
  store_value(name, text("abcdefghij"), T_STRING);
  EXPECT_EQ(std::memcmp(readable(name->value, 8), "abcdefgh", 8), 0);
  store_value(name, 0, T_INT);  // null leaves the array as it was
  EXPECT_EQ(std::memcmp(readable(name->value, 8), "abcdefgh", 8), 0);

  // A source without NUL is read only as far as the array holds ...
  Addr tail = ARENA_BASE + ARENA_SIZE - 8;
  std::memcpy(writable(tail, 8), "12345678", 8);
  store_value(name, tail, T_STRING);
  EXPECT_EQ(std::memcmp(readable(name->value, 8), "12345678", 8), 0);
  // ... and one that runs off its block before that is refused.
  EXPECT_EQ(error_code([&] { store_value(name, tail + 4, T_STRING); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(error_code([&] { store_value(name, 5, T_INT); }), ERR_OUT_OF_RANGE);
}

TEST_F(Assignment, ObjectCopiesReadOnlyValidSources) {
  VarEntry* r = stored_var(T_REGION, 32);
  VarEntry* src = stored_var(T_REGION, 32);
  for (Word i = 0; i < 8; ++i) write_word(src->value + 4 * i, 10 + i);
  store_value(r, src->value, T_REGION);
  EXPECT_EQ(std::memcmp(readable(r->value, 32), readable(src->value, 32), 32), 0);

  VarEntry* before = stored_var(T_REGION, 32, 0x11);
  EXPECT_EQ(error_code([&] { store_value(before, 5, T_INT); }), ERR_OUT_OF_RANGE);
  // A variable's word is a 4-byte block: 32 bytes cannot be read from it.
  EXPECT_EQ(error_code([&] { store_value(before, var_address(3), T_INT); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(read_word(before->value + 28), 0x11111111u);
  VarEntry* s = stored_var(T_STRING, 64);
  EXPECT_EQ(error_code([&] { store_value(s, 5, T_INT); }), ERR_OUT_OF_RANGE);
}

TEST_F(Assignment, ListsFillArraysAndZeroWhatTheyLack) {
  VarEntry* a = stored_var(with_dims(T_INT, 1), 16, 0x55);
  store_value(a, list({{1, T_INT}, {float_bits(2.9f), T_FLOAT}, {3, T_INT}, {4, T_INT}}), T_LIST);
  EXPECT_EQ(read_word(a->value), 1u);
  EXPECT_EQ(read_word(a->value + 4), 2u);
  EXPECT_EQ(read_word(a->value + 12), 4u);
  store_value(a, list({{7, T_INT}}), T_LIST);
  EXPECT_EQ(read_word(a->value), 7u);
  EXPECT_EQ(read_word(a->value + 4), 0u);
  EXPECT_EQ(read_word(a->value + 12), 0u);

  VarEntry* f = stored_var(with_dims(T_FLOAT, 1), 8);
  store_value(f, list({{1, T_INT}, {static_cast<Word>(-2), T_INT}}), T_LIST);
  EXPECT_EQ(bits_float(read_word(f->value)), 1.0f);
  EXPECT_EQ(bits_float(read_word(f->value + 4)), -2.0f);

  VarEntry* c = stored_var(with_dims(T_CHAR, 2), 6, 0x55);  // char c[2][3]
  store_value(c, list({{300, T_INT}, {static_cast<Word>(-1), T_INT}, {float_bits(66.5f), T_FLOAT}}), T_LIST);
  EXPECT_EQ(std::memcmp(readable(c->value, 6), "\x2c\xff" "B\0\0\0", 6), 0);

  VarEntry* sh = stored_var(with_dims(T_SHORT, 1), 4);
  store_value(sh, list({{70000, T_INT}, {static_cast<Word>(-5), T_INT}}), T_LIST);
  EXPECT_EQ(read_i16(sh->value), 4464);
  EXPECT_EQ(read_i16(sh->value + 2), -5);

  VarEntry* names = stored_var(with_dims(T_STRING, 1), 128, 0x55);
  store_value(names, list({{text("ab"), T_STRING}}), T_LIST);
  EXPECT_STREQ(text_at(names->value), "ab");
  EXPECT_STREQ(text_at(names->value + 64), "");
}

TEST_F(Assignment, CompoundOperatorsPerTargetKind) {
  VarEntry* x = inline_var(T_INT, 7);
  compound_assign(x, 3, T_INT, '%');
  EXPECT_EQ(x->value, 1u);
  compound_assign(x, 33, T_INT, 7);
  EXPECT_EQ(x->value, 2u);
  compound_assign(x, float_bits(2.9f), T_FLOAT, '+');
  EXPECT_EQ(x->value, 4u);
  x->value = static_cast<Word>(-8);
  compound_assign(x, 1, T_INT, 8);
  EXPECT_EQ(static_cast<std::int32_t>(x->value), -4);

  VarEntry* c = inline_var(T_CHAR, 250);
  compound_assign(c, 10, T_INT, '+');
  EXPECT_EQ(c->value, 4u);
  c->value = 255;
  compound_assign(c, 1, T_INT, '+');
  EXPECT_EQ(c->value, 0u);
  VarEntry* sh = inline_var(T_SHORT, 0);
  compound_assign(sh, 1, T_INT, '-');
  EXPECT_EQ(sh->value, 65535u);

  VarEntry* f = inline_var(T_FLOAT, float_bits(7.0f));
  compound_assign(f, 2, T_INT, '%');  // not a float operator: plain store
  EXPECT_EQ(bits_float(f->value), 2.0f);
  compound_assign(f, float_bits(0.5f), T_FLOAT, '*');
  EXPECT_EQ(bits_float(f->value), 1.0f);
  compound_assign(f, 0, T_INT, '/');
  EXPECT_TRUE(std::isinf(bits_float(f->value)));

  VarEntry* p = inline_var(with_ptr_depth(T_INT, 1), 1000);
  compound_assign(p, 2, T_INT, '+');
  EXPECT_EQ(p->value, 1008u);
  compound_assign(p, 2, T_INT, '*');
  EXPECT_EQ(p->value, 8064u);
  VarEntry* rp = inline_var(with_ptr_depth(T_REGION, 1), 0);
  compound_assign(rp, 1, T_INT, '+');
  EXPECT_EQ(rp->value, 32u);

  VarEntry* byte = stored_var(T_CHAR, 4);
  write_u8(byte->value, 200);
  compound_assign(byte, 1, T_INT, '+');
  EXPECT_EQ(read_i8(byte->value) & 0xff, 201);
  VarEntry* sf = stored_var(T_FLOAT, 4);
  compound_assign(sf, 3, T_INT, '-');
  EXPECT_EQ(bits_float(read_word(sf->value)), -3.0f);
  VarEntry* slot = stored_var(with_ptr_depth(T_SHORT, 1), 4);
  write_word(slot->value, 100);
  compound_assign(slot, 3, T_INT, '+');
  EXPECT_EQ(read_word(slot->value), 106u);
  VarEntry* s = stored_var(T_STRING, 64);
  store_value(s, text("old"), T_STRING);
  compound_assign(s, text("new"), T_STRING, '+');
  EXPECT_EQ(stored_text(s), "new");
}

TEST_F(Assignment, IntegerOperatorsWrapAndRefuseZeroDivisors) {
  struct Row {
    std::int32_t target, v;
    int op;
    std::int32_t expected;
  } rows[] = {
      {2147483647, 1, '+', INT_MIN32},   {INT_MIN32, 1, '-', 2147483647},
      {INT_MIN32, -1, '*', INT_MIN32},   {65536, 65536, '*', 0},
      {INT_MIN32, -1, '/', INT_MIN32},   {INT_MIN32, -1, '%', 0},
      {-7, 2, '/', -3},                  {-7, 2, '%', -1},
      {7, -2, '%', 1},                   {1, 31, 7, INT_MIN32},
      {1, -1, 7, INT_MIN32},             {INT_MIN32, 31, 8, -1},
      {-1, 100, 8, -1},                  {0x40000000, 30, 8, 1},
      {12, 10, '&', 8},                  {12, 10, '|', 14},
      {12, 10, '^', 6},                  {5, 9, 0, 9},
      {5, 9, '=', 9},
  };
  for (const Row& r : rows) {
    std::int32_t t = r.target;
    apply_int_op(&t, r.v, r.op);
    EXPECT_EQ(t, r.expected) << r.target << " op " << r.op << " " << r.v;
  }
  VarEntry* x = inline_var(T_INT, 9);
  EXPECT_EQ(error_code([&] { compound_assign(x, 0, T_INT, '/'); }), ERR_DIVISION_BY_ZERO);
  EXPECT_EQ(error_code([&] { compound_assign(x, float_bits(0.5f), T_FLOAT, '%'); }), ERR_DIVISION_BY_ZERO);
  EXPECT_EQ(x->value, 9u);
  VarEntry* stored = stored_var(T_CHAR, 4);
  EXPECT_EQ(error_code([&] { compound_assign(stored, 0, T_INT, '%'); }), ERR_DIVISION_BY_ZERO);
}

}  // namespace
}  // namespace kelpa

// Text and memory builtins called directly with argument slots: results,
// arena use, type and count checks, and the address-space guards that keep
// every copy inside what the script owns.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "builtins/builtins.h"
#include "harness.h"
#include "interp/errors.h"
#include "storage/address_space.h"
#include "storage/types.h"

namespace kelpa {
namespace {

int raised(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const ScriptError& e) {
    return e.code;
  }
  return -1;
}

class StringBuiltins : public ::testing::Test {
 protected:
  void SetUp() override { test::load_text("void main() {}"); }
  void TearDown() override { release_interpreter(); }

  // A NUL-terminated copy of `text` in the arena.
  static Addr put(const char* text) {
    std::uint32_t n = static_cast<std::uint32_t>(std::strlen(text)) + 1;
    Addr a = arena_alloc(n, 4);
    std::memcpy(writable(a, n), text, n);
    return a;
  }
  static ArgSlot str(Addr a, TypeWord t = T_STRING) { return {a, t}; }
  static ArgSlot num(std::int32_t v) { return {static_cast<Word>(v), T_INT}; }
  static std::int32_t sig(Word w) { return static_cast<std::int32_t>(w); }

  test::Console console_;
};

TEST_F(StringBuiltins, StrcatBuildsNewTextInTheArena) {
  ArgSlot a[] = {str(put("ab")), str(put("")), str(put("cd"))};
  Addr top = interp.arena_top;
  Addr r = builtin_strcat(3, a);
  EXPECT_EQ(r, top);  // not aligned
  EXPECT_STREQ(text_at(r), "abcd");
  EXPECT_EQ(interp.arena_top, top + 5);
  EXPECT_STREQ(text_at(a[0].value), "ab");  // arguments unchanged

  Addr empty = builtin_strcat(0, a);
  EXPECT_STREQ(text_at(empty), "");
  EXPECT_EQ(interp.arena_top, top + 6);

  // A result that does not fit the arena raises and reserves nothing.
  interp.arena_top = ARENA_BASE + ARENA_SIZE - 4;
  Addr before = interp.arena_top;
  EXPECT_EQ(raised([&] { builtin_strcat(3, a); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(interp.arena_top, before);
}

TEST_F(StringBuiltins, ComparisonsGiveSignsOnly) {
  auto cmp = [](Word (*fn)(std::int32_t, const ArgSlot*), const char* x, const char* y) {
    ArgSlot a[] = {str(put(x)), str(put(y))};
    return sig(fn(2, a));
  };
  EXPECT_EQ(cmp(builtin_strcmp, "abc", "abd"), -1);
  EXPECT_EQ(cmp(builtin_strcmp, "b", "a"), 1);
  EXPECT_EQ(cmp(builtin_strcmp, "abc", "abc"), 0);
  EXPECT_EQ(cmp(builtin_strcmp, "ab", "abc"), -1);
  EXPECT_EQ(cmp(builtin_strcmp, "\xe9", "a"), 1);  // unsigned bytes
  EXPECT_EQ(cmp(builtin_strcmp, "Hello", "hello"), -1);
  EXPECT_EQ(cmp(builtin_stricmp, "Hello", "hELLO"), 0);
  EXPECT_EQ(cmp(builtin_stricmp, "a", "B"), -1);
  EXPECT_EQ(cmp(builtin_stricmp, "[", "a"), -1);  // '[' sorts after 'Z' but before 'a'
  ArgSlot one[] = {str(put("x"))};
  EXPECT_EQ(raised([&] { builtin_strcmp(1, one); }), ERR_PARAMETER);
  EXPECT_EQ(raised([&] { builtin_stricmp(3, one); }), ERR_PARAMETER);
}

TEST_F(StringBuiltins, StrcpyChecksTypesAndRoom) {
  Addr dst = arena_alloc(16, 4);
  Addr src = put("hello");
  for (TypeWord t : {TypeWord{T_STRING}, T_CHAR_POINTER, T_CHAR_ARRAY}) {
    std::memset(writable(dst, 16), 'x', 16);
    ArgSlot a[] = {str(dst, t), str(src, t)};
    EXPECT_EQ(builtin_strcpy(2, a), dst);
    EXPECT_STREQ(text_at(dst), "hello");
  }
  for (TypeWord bad : {TypeWord{0x103}, TypeWord{0x201}, TypeWord{0x20001}, TypeWord{T_STRING | CAST_MARKER}}) {
    ArgSlot a[] = {str(dst, bad), str(src)};
    EXPECT_EQ(raised([&] { builtin_strcpy(2, a); }), ERR_PARAMETER) << bad;
    ArgSlot b[] = {str(dst), str(src, bad)};
    EXPECT_EQ(raised([&] { builtin_strcpy(2, b); }), ERR_PARAMETER) << bad;
  }
  ArgSlot null_dst[] = {str(0), str(src)};
  EXPECT_EQ(raised([&] { builtin_strcpy(2, null_dst); }), ERR_PARAMETER);
  ArgSlot one[] = {str(dst)};
  EXPECT_EQ(raised([&] { builtin_strcpy(1, one); }), ERR_PARAMETER);

  // Three bytes left before the arena's end: "hello" does not fit, and
  // nothing is written.
  Addr tail = ARENA_BASE + ARENA_SIZE - 3;
  std::memcpy(writable(tail, 3), "zzz", 3);
  ArgSlot near_end[] = {str(tail), str(src)};
  EXPECT_EQ(raised([&] { builtin_strcpy(2, near_end); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(std::memcmp(readable(tail, 3), "zzz", 3), 0);

  // A variable's value word holds four bytes, not six.
  interp.var_table[40].value = 0x01020304;
  ArgSlot into_word[] = {str(var_address(40), T_CHAR_POINTER), str(src)};
  EXPECT_EQ(raised([&] { builtin_strcpy(2, into_word); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(interp.var_table[40].value, 0x01020304u);

  // The host's parameter texts cannot be written.
  static const char* params[] = {"abcdefgh"};
  set_parameters(1, params);
  ArgSlot into_param[] = {str(parameter_address(0)), str(src)};
  EXPECT_EQ(raised([&] { builtin_strcpy(2, into_param); }), ERR_OUT_OF_RANGE);
  EXPECT_STREQ(params[0], "abcdefgh");
  set_parameters(0, nullptr);
}

TEST_F(StringBuiltins, StrncpyPadsTruncatesAndStaysInBounds) {
  Addr dst = arena_alloc(8, 4);
  std::memset(writable(dst, 8), 'x', 8);
  ArgSlot pad[] = {str(dst), str(put("abc")), num(5)};
  EXPECT_EQ(builtin_strncpy(3, pad), dst);
  EXPECT_EQ(std::memcmp(readable(dst, 8), "abc\0\0xxx", 8), 0);

  std::memset(writable(dst, 8), 'x', 8);
  ArgSlot cut[] = {str(dst), str(put("abcdef")), num(3)};
  builtin_strncpy(3, cut);
  EXPECT_EQ(std::memcmp(readable(dst, 8), "abcxxxxx", 8), 0);

  ArgSlot negative[] = {str(dst), str(put("abc")), num(-1)};
  EXPECT_EQ(raised([&] { builtin_strncpy(3, negative); }), ERR_OUT_OF_RANGE);

  // Padding that would run past the arena's end is refused before any write.
  Addr tail = ARENA_BASE + ARENA_SIZE - 4;
  std::memcpy(writable(tail, 4), "zzzz", 4);
  ArgSlot too_far[] = {str(tail), str(put("ab")), num(10)};
  EXPECT_EQ(raised([&] { builtin_strncpy(3, too_far); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(std::memcmp(readable(tail, 4), "zzzz", 4), 0);

  // A source without a NUL is fine while n bytes of it exist, and refused
  // when the copy would read past its block.
  Addr raw = heap_alloc(4);
  std::memcpy(writable(raw, 4), "wxyz", 4);
  ArgSlot exact[] = {str(dst), str(raw), num(4)};
  builtin_strncpy(3, exact);
  EXPECT_EQ(std::memcmp(readable(dst, 4), "wxyz", 4), 0);
  ArgSlot over[] = {str(dst), str(raw), num(6)};
  EXPECT_EQ(raised([&] { builtin_strncpy(3, over); }), ERR_OUT_OF_RANGE);

  ArgSlot int_dst[] = {str(dst, 0x103), str(raw), num(1)};
  EXPECT_EQ(raised([&] { builtin_strncpy(3, int_dst); }), ERR_PARAMETER);
  EXPECT_EQ(raised([&] { builtin_strncpy(2, pad); }), ERR_PARAMETER);
}

TEST_F(StringBuiltins, MemcpyAndMemcmpCheckCountsAndRanges) {
  Addr a = put("abcdef");
  Addr b = arena_alloc(8, 4);
  std::memset(writable(b, 8), 0, 8);
  ArgSlot copy[] = {num(static_cast<std::int32_t>(b)), num(static_cast<std::int32_t>(a)), num(3)};
  EXPECT_EQ(builtin_memcpy(3, copy), b);
  EXPECT_STREQ(text_at(b), "abc");
  ArgSlot zero[] = {copy[0], copy[1], num(0)};
  EXPECT_EQ(builtin_memcpy(3, zero), 0u);
  ArgSlot null_src[] = {copy[0], num(0), num(3)};
  EXPECT_EQ(builtin_memcpy(3, null_src), 0u);
  ArgSlot negative[] = {copy[0], copy[1], num(-4)};
  EXPECT_EQ(raised([&] { builtin_memcpy(3, negative); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(raised([&] { builtin_memcpy(2, copy); }), ERR_PARAMETER);

  // Copying 8 bytes into a 4-byte value word: refused, word unchanged.
  interp.var_table[40].value = 7;
  ArgSlot into_word[] = {num(static_cast<std::int32_t>(var_address(40))), copy[1], num(8)};
  EXPECT_EQ(raised([&] { builtin_memcpy(3, into_word); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(interp.var_table[40].value, 7u);

  Addr c = put("abd");
  ArgSlot lt[] = {copy[1], num(static_cast<std::int32_t>(c)), num(3)};
  EXPECT_EQ(sig(builtin_memcmp(3, lt)), -1);
  ArgSlot eq[] = {copy[1], num(static_cast<std::int32_t>(c)), num(2)};
  EXPECT_EQ(sig(builtin_memcmp(3, eq)), 0);
  ArgSlot gt[] = {num(static_cast<std::int32_t>(c)), copy[1], num(3)};
  EXPECT_EQ(sig(builtin_memcmp(3, gt)), 1);
  ArgSlot neg_cmp[] = {copy[1], num(static_cast<std::int32_t>(c)), num(-1)};
  EXPECT_EQ(raised([&] { builtin_memcmp(3, neg_cmp); }), ERR_OUT_OF_RANGE);
  Addr tail = ARENA_BASE + ARENA_SIZE - 2;
  ArgSlot past_end[] = {num(static_cast<std::int32_t>(tail)), copy[1], num(3)};
  EXPECT_EQ(raised([&] { builtin_memcmp(3, past_end); }), ERR_OUT_OF_RANGE);
}

TEST_F(StringBuiltins, NumberConversions) {
  auto atoi_of = [](const char* s) {
    ArgSlot a[] = {str(put(s))};
    return sig(builtin_atoi(1, a));
  };
  EXPECT_EQ(atoi_of(" -42x"), -42);
  EXPECT_EQ(atoi_of("\t\n+17"), 17);
  EXPECT_EQ(atoi_of("0x1F"), 0);
  EXPECT_EQ(atoi_of("abc"), 0);
  EXPECT_EQ(atoi_of("4294967295"), -1);  // wraps instead of overflowing
  EXPECT_EQ(atoi_of("-2147483648"), INT32_MIN);

  auto strtoint_of = [](const char* s) {
    ArgSlot a[] = {str(put(s))};
    return sig(builtin_strtoint(1, a));
  };
  EXPECT_EQ(strtoint_of("0x1F"), 31);
  EXPECT_EQ(strtoint_of("42"), 42);
  EXPECT_EQ(strtoint_of("0xFFFFFFFF"), -1);

  ArgSlot twelve[] = {num(12), num(-3)};
  Addr top = interp.arena_top;
  Addr x = builtin_inttostr(1, twelve);
  Addr y = builtin_inttostr(1, twelve + 1);
  EXPECT_STREQ(text_at(x), "12");
  EXPECT_STREQ(text_at(y), "-3");
  EXPECT_EQ(y, x + 3);
  EXPECT_EQ(interp.arena_top, top + 6);
  ArgSlot low[] = {num(INT32_MIN)};
  EXPECT_STREQ(text_at(builtin_inttostr(1, low)), "-2147483648");

  EXPECT_EQ(raised([&] { builtin_inttostr(0, twelve); }), ERR_PARAMETER);
  EXPECT_EQ(raised([&] { builtin_inttostr(2, twelve); }), ERR_PARAMETER);
  EXPECT_EQ(raised([&] { builtin_strtoint(0, twelve); }), ERR_PARAMETER);
  EXPECT_EQ(raised([&] { builtin_atoi(2, twelve); }), ERR_PARAMETER);

  interp.arena_top = ARENA_BASE + ARENA_SIZE - 2;
  EXPECT_EQ(raised([&] { builtin_inttostr(1, twelve); }), ERR_OUT_OF_RANGE);
}

TEST_F(StringBuiltins, TextsThatRunOffTheirBlockAreRefused) {
  Addr raw = heap_alloc(3);
  std::memcpy(writable(raw, 3), "abc", 3);  // no NUL inside the block
  ArgSlot a[] = {str(raw), str(put("abc"))};
  EXPECT_EQ(raised([&] { builtin_strcmp(2, a); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(raised([&] { builtin_atoi(1, a); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(raised([&] { builtin_strcat(2, a); }), ERR_OUT_OF_RANGE);
  ArgSlot cpy[] = {str(arena_alloc(8, 4)), str(raw)};
  EXPECT_EQ(raised([&] { builtin_strcpy(2, cpy); }), ERR_OUT_OF_RANGE);
  ArgSlot nowhere[] = {str(0x7)};
  EXPECT_EQ(raised([&] { builtin_atoi(1, nowhere); }), ERR_OUT_OF_RANGE);
}

}  // namespace
}  // namespace kelpa

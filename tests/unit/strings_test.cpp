// Text and memory builtins called directly with argument slots: arena use
// and the address-space guards that keep every copy inside what the script
// owns, at block edges the golden scripts cannot reach.
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

TEST_F(StringBuiltins, ComparisonsUseUnsignedBytesAndFoldOnlyLetters) {
  auto cmp = [](Word (*fn)(std::int32_t, const ArgSlot*), const char* x, const char* y) {
    ArgSlot a[] = {str(put(x)), str(put(y))};
    return sig(fn(2, a));
  };
  EXPECT_EQ(cmp(builtin_strcmp, "\xe9", "a"), 1);
  EXPECT_EQ(cmp(builtin_stricmp, "[", "a"), -1);  // '[' sorts after 'Z' but before 'a'
  EXPECT_EQ(cmp(builtin_stricmp, "\xc9", "\xe9"), -1);  // no folding beyond ASCII
}

TEST_F(StringBuiltins, StrcpyStaysInsideItsDestination) {
  Addr dst = arena_alloc(16, 4);
  Addr src = put("hello");
  // Types a script cannot write: a pointer to a pointer, a cast-marked word.
  for (TypeWord bad : {TypeWord{0x20001}, TypeWord{T_STRING | CAST_MARKER}}) {
    ArgSlot a[] = {str(dst, bad), str(src)};
    EXPECT_EQ(raised([&] { builtin_strcpy(2, a); }), ERR_PARAMETER) << bad;
  }

  // Three bytes left before the arena's end: "hello" does not fit, and
  // nothing is written.
  Addr tail = ARENA_BASE + ARENA_SIZE - 3;
  std::memcpy(writable(tail, 3), "zzz", 3);
  ArgSlot near_end[] = {str(tail), str(src)};
  EXPECT_EQ(raised([&] { builtin_strcpy(2, near_end); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(std::memcmp(readable(tail, 3), "zzz", 3), 0);

  // The host's parameter texts cannot be written.
  static const char* params[] = {"abcdefgh"};
  set_parameters(1, params);
  ArgSlot into_param[] = {str(parameter_address(0)), str(src)};
  EXPECT_EQ(raised([&] { builtin_strcpy(2, into_param); }), ERR_OUT_OF_RANGE);
  EXPECT_STREQ(params[0], "abcdefgh");
  set_parameters(0, nullptr);
}

TEST_F(StringBuiltins, StrncpyStaysInBounds) {
  Addr dst = arena_alloc(8, 4);
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
}

TEST_F(StringBuiltins, MemcpyAndMemcmpStayInsideTheirBlocks) {
  Addr a = put("abcdef");
  // Copying 8 bytes into a 4-byte value word: refused, word unchanged.
  interp.var_table[40].value = 7;
  ArgSlot into_word[] = {num(static_cast<std::int32_t>(var_address(40))), num(static_cast<std::int32_t>(a)), num(8)};
  EXPECT_EQ(raised([&] { builtin_memcpy(3, into_word); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(interp.var_table[40].value, 7u);

  Addr tail = ARENA_BASE + ARENA_SIZE - 2;
  ArgSlot past_end[] = {num(static_cast<std::int32_t>(tail)), into_word[1], num(3)};
  EXPECT_EQ(raised([&] { builtin_memcmp(3, past_end); }), ERR_OUT_OF_RANGE);
}

TEST_F(StringBuiltins, NumberConversions) {
  auto atoi_of = [](const char* s) {
    ArgSlot a[] = {str(put(s))};
    return sig(builtin_atoi(1, a));
  };
  EXPECT_EQ(atoi_of("\t\n\v+17"), 17);
  EXPECT_EQ(atoi_of("4294967295"), -1);  // wraps instead of overflowing
  EXPECT_EQ(atoi_of("-2147483648"), INT32_MIN);

  ArgSlot twelve[] = {num(12), num(-3)};
  Addr top = interp.arena_top;
  Addr x = builtin_inttostr(1, twelve);
  EXPECT_STREQ(text_at(x), "12");
  EXPECT_EQ(interp.arena_top, top + 3);  // the text and its NUL, not aligned

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

// Text and memory builtins called directly with argument slots: arena use
// and the address-space guards that keep every copy inside what the script
// owns, at block edges the golden scripts cannot reach.
#include <cstring>

#include "harness.h"

namespace kelpa {
namespace {

using namespace test;

// A string slot over bytes already in place.
ArgSlot text(Addr a, TypeWord t = T_STRING) { return {a, t}; }

class StringBuiltins : public FreshInterpreter {};

TEST_F(StringBuiltins, NewTextsTakeUnalignedArenaOrNothing) {
  ArgSlot a[] = {str("ab"), str("cd")};
  Addr top = interp.arena_top;
  EXPECT_EQ(builtin_strcat(2, a), top);
  EXPECT_EQ(interp.arena_top, top + 5);

  // A result that does not fit the arena raises and reserves nothing.
  interp.arena_top = ARENA_BASE + ARENA_SIZE - 2;
  EXPECT_EQ(raised([&] { builtin_strcat(2, a); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(interp.arena_top, ARENA_BASE + ARENA_SIZE - 2);
}

TEST_F(StringBuiltins, ComparisonsAndNumbers) {
  auto cmp = [](Word (*fn)(std::int32_t, const ArgSlot*), const char* x, const char* y) {
    ArgSlot a[] = {str(x), str(y)};
    return sig(fn(2, a));
  };
  EXPECT_EQ(cmp(builtin_strcmp, "\xe9", "a"), 1);  // unsigned bytes
  EXPECT_EQ(cmp(builtin_stricmp, "[", "a"), -1);  // '[' sorts after 'Z' but before 'a'
  EXPECT_EQ(cmp(builtin_stricmp, "\xc9", "\xe9"), -1);  // no folding beyond ASCII
  for (const char* wraps : {"4294967295", "-2147483648"}) {
    ArgSlot a[] = {str(wraps)};
    EXPECT_EQ(builtin_atoi(1, a), static_cast<Word>(std::strtoll(wraps, nullptr, 10))) << wraps;
  }
}

TEST_F(StringBuiltins, StrcpyStaysInsideItsDestination) {
  Addr src = put("hello");
  // Types a script cannot write: a pointer to a pointer, a cast-marked word.
  for (TypeWord bad : {TypeWord{0x20001}, TypeWord{T_STRING | CAST_MARKER}}) {
    ArgSlot a[] = {text(arena_alloc(16, 4), bad), text(src)};
    EXPECT_EQ(raised([&] { builtin_strcpy(2, a); }), ERR_PARAMETER) << bad;
  }
  // Three bytes left before the arena's end: nothing is written.
  Addr tail = arena_tail("zzz", 3);
  ArgSlot near_end[] = {text(tail), text(src)};
  EXPECT_EQ(raised([&] { builtin_strcpy(2, near_end); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(std::memcmp(readable(tail, 3), "zzz", 3), 0);

  // The host's parameter texts cannot be written.
  static const char* params[] = {"abcdefgh"};
  set_parameters(1, params);
  ArgSlot into_param[] = {text(parameter_address(0)), text(src)};
  EXPECT_EQ(raised([&] { builtin_strcpy(2, into_param); }), ERR_OUT_OF_RANGE);
  EXPECT_STREQ(params[0], "abcdefgh");
  set_parameters(0, nullptr);
}

TEST_F(StringBuiltins, StrncpyAndMemcpyStayInBounds) {
  Addr dst = arena_alloc(8, 4);
  ArgSlot negative[] = {text(dst), str("abc"), num(-1)};
  EXPECT_EQ(raised([&] { builtin_strncpy(3, negative); }), ERR_OUT_OF_RANGE);
  // Padding that would run past the arena's end is refused before any write.
  Addr tail = arena_tail("zzzz", 4);
  ArgSlot too_far[] = {text(tail), str("ab"), num(10)};
  EXPECT_EQ(raised([&] { builtin_strncpy(3, too_far); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(std::memcmp(readable(tail, 4), "zzzz", 4), 0);

  // A source without a NUL is fine while n bytes of it exist.
  Addr raw = heap_alloc(4);
  std::memcpy(writable(raw, 4), "wxyz", 4);
  ArgSlot exact[] = {text(dst), text(raw), num(4)};
  builtin_strncpy(3, exact);
  EXPECT_EQ(std::memcmp(readable(dst, 4), "wxyz", 4), 0);
  ArgSlot over[] = {text(dst), text(raw), num(6)};
  EXPECT_EQ(raised([&] { builtin_strncpy(3, over); }), ERR_OUT_OF_RANGE);

  // Copying 8 bytes into a 4-byte value word: refused, word unchanged.
  interp.var_table[40].value = 7;
  ArgSlot into_word[] = {num(sig(var_address(40))), num(sig(put("abcdef"))), num(8)};
  EXPECT_EQ(raised([&] { builtin_memcpy(3, into_word); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(interp.var_table[40].value, 7u);
}

TEST_F(StringBuiltins, TextsThatRunOffTheirBlockAreRefused) {
  Addr raw = heap_alloc(3);
  std::memcpy(writable(raw, 3), "abc", 3);  // no NUL inside the block
  ArgSlot a[] = {text(raw), str("abc")};
  EXPECT_EQ(raised([&] { builtin_strcmp(2, a); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(raised([&] { builtin_atoi(1, a); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(raised([&] { builtin_strcat(2, a); }), ERR_OUT_OF_RANGE);
  ArgSlot cpy[] = {text(arena_alloc(8, 4)), text(raw)};
  EXPECT_EQ(raised([&] { builtin_strcpy(2, cpy); }), ERR_OUT_OF_RANGE);
  ArgSlot nowhere[] = {text(0x7)};
  EXPECT_EQ(raised([&] { builtin_atoi(1, nowhere); }), ERR_OUT_OF_RANGE);
}

}  // namespace
}  // namespace kelpa

// The console builtins called directly: argument counts, what reaches the
// console stream, sprintf's destination check, and exit's status.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "builtins/builtins.h"
#include "harness.h"
#include "interp/errors.h"
#include "storage/address_space.h"
#include "storage/types.h"

namespace kelpa {
namespace {

int error_code(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const ScriptError& e) {
    return e.code;
  }
  return -1;
}

ArgSlot text(const std::string& s) {
  std::uint32_t n = static_cast<std::uint32_t>(s.size()) + 1;
  Addr a = arena_alloc(n, 1);
  std::memcpy(writable(a, n), s.c_str(), n);
  return {a, T_STRING};
}
ArgSlot i(std::int32_t v) { return {static_cast<Word>(v), T_INT}; }

class ConsoleBuiltins : public ::testing::Test {
 protected:
  ConsoleBuiltins() : console_("hi") {}
  void SetUp() override { test::load_text("void main() {}"); }
  void TearDown() override { release_interpreter(); }
  test::Console console_;
};

TEST_F(ConsoleBuiltins, PrintfWritesEveryFormattedByte) {
  ArgSlot pieces[] = {text("%d-%d-%d\n"), i(1), i(2)};
  EXPECT_EQ(builtin_printf(3, pieces), 4u);
  ArgSlot nul[] = {text("<%c>"), i(0)};
  EXPECT_EQ(builtin_printf(2, nul), 3u);
  EXPECT_EQ(console_.text(), std::string("1-2-<\0>", 7));
  EXPECT_EQ(error_code([] { builtin_printf(0, nullptr); }), ERR_PARAMETER);
  ArgSlot not_text[] = {i(12)};
  EXPECT_EQ(error_code([&] { builtin_printf(1, not_text); }), ERR_OUT_OF_RANGE);
}

TEST_F(ConsoleBuiltins, SprintfStaysInsideItsDestination) {
  Addr buf = arena_alloc(16, 4);
  ArgSlot args[] = {{buf, T_CHAR_ARRAY}, text("%s=%d"), text("n"), i(5)};
  EXPECT_EQ(builtin_sprintf(4, args), 3u);
  ArgSlot self[] = {{buf, T_CHAR_ARRAY}, text("<%s>"), {buf, T_STRING}};  // reads what it overwrites
  EXPECT_EQ(builtin_sprintf(3, self), 5u);
  EXPECT_STREQ(text_at(buf), "<n=5>");

  // A variable's word is a block of four bytes: three characters and the NUL.
  ArgSlot fits[] = {{var_address(40), T_INT}, text("abc")};
  EXPECT_EQ(builtin_sprintf(2, fits), 3u);
  EXPECT_STREQ(text_at(var_address(40)), "abc");
  interp.var_table[41].value = 0x11223344;
  ArgSlot over[] = {{var_address(41), T_INT}, text("abcd")};
  EXPECT_EQ(error_code([&] { builtin_sprintf(2, over); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(interp.var_table[41].value, 0x11223344u);
  ArgSlot nowhere[] = {i(8), text("x")};
  EXPECT_EQ(error_code([&] { builtin_sprintf(2, nowhere); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(error_code([&] { builtin_sprintf(1, args); }), ERR_PARAMETER);
}

TEST_F(ConsoleBuiltins, GetchPutchExit) {
  EXPECT_EQ(builtin_getch(0, nullptr), static_cast<Word>('h'));
  EXPECT_EQ(builtin_getch(0, nullptr), static_cast<Word>('i'));
  EXPECT_EQ(builtin_getch(0, nullptr), static_cast<Word>(-1));
  ArgSlot two[] = {i(0x1C1), i(2)};
  EXPECT_EQ(builtin_putch(1, two), 0xC1u);
  EXPECT_EQ(console_.text(), "\xC1");
  EXPECT_EQ(error_code([&] { builtin_getch(1, two); }), ERR_PARAMETER);
  EXPECT_EQ(error_code([&] { builtin_putch(2, two); }), ERR_PARAMETER);
  EXPECT_EQ(error_code([] { builtin_putch(0, nullptr); }), ERR_PARAMETER);
  auto status_of = [](std::int32_t count, const ArgSlot* args) {
    try {
      builtin_exit(count, args);
    } catch (const ScriptExit& e) {
      return e.status;
    }
    return 1000;
  };
  EXPECT_EQ(status_of(2, two), 0x1C1);
  EXPECT_EQ(status_of(0, nullptr), -1);
}

TEST(ConsoleScripts, ExitEndsTheRunWithItsStatus) {
  test::RunResult r = test::run_script("void main() { printf(\"%d items\\n\", 3); exit(7); printf(\"no\"); }");
  EXPECT_EQ(r.out, "3 items\n");
  EXPECT_EQ(r.status, 7);
}

}  // namespace
}  // namespace kelpa

// The formatting engine: how arguments meet conversions (pieces, cuts,
// missing arguments), values chosen by the conversion letter, and the
// conversions it must refuse rather than hand to the C library.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "builtins/builtins.h"
#include "harness.h"
#include "interp/errors.h"
#include "storage/address_space.h"
#include "storage/assignment.h"
#include "storage/types.h"

namespace kelpa {
namespace {

class Format : public ::testing::Test {
 protected:
  void SetUp() override { test::load_text("void main() {}"); }
  void TearDown() override { release_interpreter(); }

  static Addr text(const std::string& s) {
    std::uint32_t n = static_cast<std::uint32_t>(s.size()) + 1;
    Addr a = arena_alloc(n, 1);
    std::memcpy(writable(a, n), s.c_str(), n);
    return a;
  }
  // Formats and checks that the returned count matches the text.
  static std::string fmt(const char* format, std::vector<ArgSlot> args = {}) {
    std::string out = "<";
    std::int32_t n = format_args(out, format, static_cast<std::int32_t>(args.size()), args.data());
    EXPECT_EQ(static_cast<std::size_t>(n), out.size() - 1) << format;
    return out.substr(1);
  }
  static int error_of(const char* format, std::vector<ArgSlot> args = {}) {
    std::string out;
    try {
      format_args(out, format, static_cast<std::int32_t>(args.size()), args.data());
    } catch (const ScriptError& e) {
      return e.code;
    }
    return -1;
  }
  static ArgSlot i(std::int32_t v) { return {static_cast<Word>(v), T_INT}; }
  static ArgSlot f(float v) { return {float_bits(v), T_FLOAT}; }

  test::Console console_;
};

TEST_F(Format, ArgumentsMeetConversionsInOrder) {
  EXPECT_EQ(fmt("%d items\n", {i(3)}), "3 items\n");
  EXPECT_EQ(fmt("a=%d b=%f\n", {i(1), f(2.5f)}), "a=1 b=2.500000\n");
  EXPECT_EQ(fmt("%d-%d-%d\n", {i(1), i(2)}), "1-2-");
  EXPECT_EQ(fmt("x\n", {i(1), i(2)}), "x\n");
  EXPECT_EQ(fmt("", {i(1), i(2)}), "");
  EXPECT_EQ(fmt("100%%\n"), "100%\n");
  EXPECT_EQ(fmt("%%%d%%|%d", {i(4), i(5), i(6)}), "%4%|5");
  // With fewer than two arguments a conversion without one stays as written.
  EXPECT_EQ(fmt("%d!"), "%d!");
  EXPECT_EQ(fmt("%d and %5.2f", {i(5)}), "5 and %5.2f");
  // A backslash keeps the next '%' from taking an argument.
  EXPECT_EQ(fmt("\\%d=%d", {i(7), i(8)}), "\\%d=7");
}

TEST_F(Format, ValuesAreChosenByTheConversionLetter) {
  EXPECT_EQ(fmt("%d", {f(1.0f)}), "1065353216");  // a float's word, never converted
  EXPECT_EQ(fmt("%.1f|%e|%.0f", {i(-3), i(1000), i(16777217)}), "-3.0|1.000000e+03|16777217");
  EXPECT_EQ(fmt("%g", {f(0.25f)}), "0.25");
  EXPECT_EQ(fmt("%x %X %o %u", {i(-1), i(255), i(8), i(-2)}), "ffffffff FF 10 4294967294");
  EXPECT_EQ(fmt("%c%c", {i(65), i(0x142)}), "AB");
  EXPECT_EQ(fmt("[%5d|%-4d|%+d|%05d]", {i(42), i(7), i(3), i(-12)}), "[   42|7   |+3|-0012]");
  EXPECT_EQ(fmt("%ld %lld %hhd %zu", {i(300), i(-1), i(300), i(9)}), "300 -1 300 9");
  EXPECT_EQ(fmt("%p|%-8p|", {i(0x1234), i(255)}), "0x1234|0xff    |");
  EXPECT_EQ(fmt("%s=%.2s|%6s", {{text("name"), T_STRING}, {text("abcdef"), T_STRING}, {text("ab"), T_STRING}}),
            "name=ab|    ab");
  EXPECT_EQ(fmt("%#x %#o", {i(255), i(8)}), "0xff 010");
  EXPECT_EQ(fmt("%y|%", {i(1), i(2)}), "%y|%");  // unknown letters are written as they stand

  std::string out;
  EXPECT_EQ(format_args(out, "%c", 1, std::vector<ArgSlot>{i(0)}.data()), 1);
  EXPECT_EQ(out, std::string(1, '\0'));
  std::string big(100000, 'q');
  EXPECT_EQ(fmt("<%s>", {{text(big), T_STRING}}), "<" + big + ">");
}

TEST_F(Format, UnsafeConversionsAreRefused) {
  EXPECT_EQ(error_of("%s", {i(5)}), ERR_OUT_OF_RANGE);
  EXPECT_EQ(error_of("%s", {i(0)}), ERR_OUT_OF_RANGE);
  Addr tail = ARENA_BASE + ARENA_SIZE - 3;
  std::memcpy(writable(tail, 3), "abc", 3);  // no NUL before the arena ends
  EXPECT_EQ(error_of("%.2s", {{tail, T_STRING}}), ERR_OUT_OF_RANGE);
  EXPECT_EQ(error_of("%n", {i(static_cast<std::int32_t>(ARENA_BASE))}), ERR_PARAMETER);
  EXPECT_EQ(error_of("ab%n"), ERR_PARAMETER);
  EXPECT_EQ(error_of("%*d", {i(5), i(1)}), ERR_PARAMETER);
  EXPECT_EQ(error_of("%.*f", {i(5), f(1.0f)}), ERR_PARAMETER);
  EXPECT_EQ(error_of("%4097d", {i(1)}), ERR_PARAMETER);
  EXPECT_EQ(error_of("%.99999999999f", {f(1.0f)}), ERR_PARAMETER);
  EXPECT_EQ(fmt("%4096d", {i(1)}).size(), 4096u);
  EXPECT_EQ(fmt("%.4096f", {f(3e38f)}).size(), 39u + 1u + 4096u);
}

}  // namespace
}  // namespace kelpa

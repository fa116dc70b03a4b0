// The formatting engine and the console builtins that use it: how arguments
// meet conversions, values chosen by the conversion letter, the conversions
// it must refuse rather than hand to the C library, what reaches the console,
// and sprintf's destination check.
#include <string>
#include <vector>

#include "harness.h"

namespace kelpa {
namespace {

using namespace test;

ArgSlot f(float v) { return {float_bits(v), T_FLOAT}; }

class Format : public FreshInterpreter {
 protected:
  // Formats and checks that the returned count matches the text.
  static std::string fmt(const char* format, std::vector<ArgSlot> args = {}) {
    std::string out = "<";
    std::int32_t n = format_args(out, format, static_cast<std::int32_t>(args.size()), args.data());
    EXPECT_EQ(static_cast<std::size_t>(n), out.size() - 1) << format;
    return out.substr(1);
  }
  static int error_of(const char* format, std::vector<ArgSlot> args = {}) {
    std::string out;
    return raised([&] { format_args(out, format, static_cast<std::int32_t>(args.size()), args.data()); });
  }
};

TEST_F(Format, ArgumentsMeetConversionsByTheirLetters) {
  EXPECT_EQ(fmt("%%%d%%|%d", {num(4), num(5), num(6)}), "%4%|5");
  EXPECT_EQ(fmt("%d-%d-%d\n", {num(1), num(2)}), "1-2-");  // ends where the arguments run out
  // With fewer than two arguments a conversion without one stays as written.
  EXPECT_EQ(fmt("%d and %5.2f", {num(5)}), "5 and %5.2f");
  // A backslash keeps the next '%' from taking an argument.
  EXPECT_EQ(fmt("\\%d=%d", {num(7), num(8)}), "\\%d=7");

  // The value is read as the conversion letter asks.
  EXPECT_EQ(fmt("%d", {f(1.0f)}), "1065353216");  // a float's word, never converted
  EXPECT_EQ(fmt("%.1f|%e|%.0f", {num(-3), num(1000), num(16777217)}), "-3.0|1.000000e+03|16777217");
  EXPECT_EQ(fmt("%x %u %c%c", {num(-1), num(-2), num(65), num(0x142)}), "ffffffff 4294967294 AB");
  EXPECT_EQ(fmt("%ld %lld %hhd %zu", {num(300), num(-1), num(300), num(9)}), "300 -1 300 9");
  EXPECT_EQ(fmt("%p|%-8p|", {num(0x1234), num(255)}), "0x1234|0xff    |");
  EXPECT_EQ(fmt("%s=%.2s|%6s", {str("name"), str("abcdef"), str("ab")}), "name=ab|    ab");
  EXPECT_EQ(fmt("%y|%", {num(1), num(2)}), "%y|%");  // unknown letters are written as they stand
  std::string big(100000, 'q');
  EXPECT_EQ(fmt("<%s>", {str(big)}), "<" + big + ">");
}

TEST_F(Format, UnsafeConversionsAreRefused) {
  EXPECT_EQ(error_of("%s", {num(5)}), ERR_OUT_OF_RANGE);
  EXPECT_EQ(error_of("%s", {num(0)}), ERR_OUT_OF_RANGE);
  EXPECT_EQ(error_of("%.2s", {{arena_tail("abc", 3), T_STRING}}), ERR_OUT_OF_RANGE);
  EXPECT_EQ(error_of("%n", {num(sig(ARENA_BASE))}), ERR_PARAMETER);
  EXPECT_EQ(error_of("ab%n"), ERR_PARAMETER);
  EXPECT_EQ(error_of("%*d", {num(5), num(1)}), ERR_PARAMETER);
  EXPECT_EQ(error_of("%.*f", {num(5), f(1.0f)}), ERR_PARAMETER);
  EXPECT_EQ(error_of("%4097d", {num(1)}), ERR_PARAMETER);
  EXPECT_EQ(error_of("%.99999999999f", {f(1.0f)}), ERR_PARAMETER);
  EXPECT_EQ(fmt("%4096d", {num(1)}).size(), 4096u);
  EXPECT_EQ(fmt("%.4096f", {f(3e38f)}).size(), 39u + 1u + 4096u);
}

TEST_F(Format, PrintfAndPutchWriteEveryByte) {
  ArgSlot nul[] = {str("<%c>"), num(0)};
  EXPECT_EQ(builtin_printf(2, nul), 3u);
  ArgSlot high[] = {num(0x1C1)};
  EXPECT_EQ(builtin_putch(1, high), 0xC1u);
  EXPECT_EQ(console_.text(), std::string("<\0>\xC1", 4));
  ArgSlot not_text[] = {num(12)};
  EXPECT_EQ(raised([&] { builtin_printf(1, not_text); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(raised([] { builtin_printf(0, nullptr); }), ERR_PARAMETER);
  EXPECT_EQ(raised([] { builtin_putch(0, nullptr); }), ERR_PARAMETER);
}

TEST_F(Format, SprintfStaysInsideItsDestination) {
  Addr buf = arena_alloc(16, 4);
  ArgSlot args[] = {{buf, T_CHAR_ARRAY}, str("%s=%d"), str("n"), num(5)};
  EXPECT_EQ(builtin_sprintf(4, args), 3u);
  ArgSlot self[] = {{buf, T_CHAR_ARRAY}, str("<%s>"), {buf, T_STRING}};  // reads what it overwrites
  EXPECT_EQ(builtin_sprintf(3, self), 5u);
  EXPECT_STREQ(text_at(buf), "<n=5>");

  // A variable's word is a block of four bytes: three characters and the NUL.
  ArgSlot fits[] = {{var_address(40), T_INT}, str("abc")};
  EXPECT_EQ(builtin_sprintf(2, fits), 3u);
  EXPECT_STREQ(text_at(var_address(40)), "abc");
  interp.var_table[41].value = 0x11223344;
  ArgSlot over[] = {{var_address(41), T_INT}, str("abcd")};
  EXPECT_EQ(raised([&] { builtin_sprintf(2, over); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(interp.var_table[41].value, 0x11223344u);
  ArgSlot nowhere[] = {num(8), str("x")};
  EXPECT_EQ(raised([&] { builtin_sprintf(2, nowhere); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(raised([&] { builtin_sprintf(1, args); }), ERR_PARAMETER);
}

TEST(ConsoleScripts, ExitWithoutStatusEndsWithMinusOne) {
  EXPECT_EQ(run_script("void main() { exit(); }").status, -1);
}

}  // namespace
}  // namespace kelpa

// Diagnostic bytes: path, message, line number by line feeds, the trimmed
// line (spaces only; tabs and carriage returns kept), "(null)" for a source
// from memory, the null-cursor form, and a cursor on a text's final NUL.
#include "interp/errors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "harness.h"

namespace kelpa {
namespace {

// Raises `code` with the cursor at `offset` into the first source's text and
// returns what was printed.
std::string report_at(const std::string& text, long offset, int code) {
  test::Console console;
  test::load_text(text);
  interp.cursor = offset < 0 ? nullptr : interp.source_table[0]->text + offset;
  try {
    raise_error(code);
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.code, code);
  }
  EXPECT_EQ(interp.cursor, nullptr);
  EXPECT_EQ(interp.token_text[0], 0);
  std::string out = console.text();
  release_interpreter();
  return out;
}

TEST(ErrorReport, MessagesAndOutOfTableCodes) {
  EXPECT_STREQ(error_message(0), "syntax error");
  EXPECT_STREQ(error_message(23), "syntax error");
  EXPECT_STREQ(error_message(-1), "syntax error");
  EXPECT_STREQ(error_message(20), "Invalid include file");
  EXPECT_STREQ(error_message(21), "out of range");
  EXPECT_STREQ(error_message(22), "division by zero");
}

TEST(ErrorReport, LineNumberAndTrimmedLine) {
  std::string text = "int a;\nint b;\n   x = 1 +;   \nint c;";
  EXPECT_EQ(report_at(text, text.find('+'), ERR_SEMICOLON), "\n(null) : semicolon expected in line 3\nx = 1 +;\n");
  EXPECT_EQ(report_at(text, 0, ERR_SYNTAX), "\n(null) : syntax error in line 1\nint a;\n");
  // A cursor on the line feed that ends line 2 reports line 2.
  EXPECT_EQ(report_at(text, 13, 99), "\n(null) : syntax error in line 2\nint b;\n");
}

TEST(ErrorReport, TabsAndCarriageReturnsStay) {
  std::string text = "a;\r\n\tb = 2;\r\nc;";
  EXPECT_EQ(report_at(text, text.find('b'), ERR_NOT_VARIABLE),
            "\n(null) : not a variable in line 2\n\tb = 2;\r\n");
}

TEST(ErrorReport, BlankLinesAndTheEndOfText) {
  std::string text = "a;\n    \nb;";
  EXPECT_EQ(report_at(text, 4, ERR_SYNTAX), "\n(null) : syntax error in line 2\n\n");
  // A cursor on the terminating NUL belongs to the text it ends.
  std::string last = "int x\n  y  ";
  EXPECT_EQ(report_at(last, static_cast<long>(last.size()), ERR_SEMICOLON),
            "\n(null) : semicolon expected in line 2\ny\n");
  std::string blank_end = "a;\n   ";
  EXPECT_EQ(report_at(blank_end, static_cast<long>(blank_end.size()), ERR_SYNTAX),
            "\n(null) : syntax error in line 2\n\n");
}

TEST(ErrorReport, NullCursorPrintsTheMessageAlone) {
  EXPECT_EQ(report_at("void main() {}", -1, ERR_RETURN_WITHOUT_CALL), "\nreturn without call");
}

TEST(ErrorReport, SourceTextIsNotChanged) {
  test::Console console;
  release_interpreter();
  char text[] = "x = 1;   \ny = 2;";
  add_source_buffer(text, static_cast<std::int32_t>(std::strlen(text)), 0);
  interp.cursor = text + 2;
  EXPECT_THROW(raise_error(ERR_SYNTAX), ScriptError);
  EXPECT_STREQ(text, "x = 1;   \ny = 2;");
  release_interpreter();
  EXPECT_STREQ(text, "x = 1;   \ny = 2;");
}

}  // namespace
}  // namespace kelpa

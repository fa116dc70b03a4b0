// The bracket balance check: where a matched stretch leaves the cursor,
// literals that hold brackets, and the bracket each kind of imbalance is
// reported at.
#include <gtest/gtest.h>

#include <string>

#include "harness.h"
#include "interp/errors.h"
#include "interp/prescan.h"
#include "lexer/scanner.h"

namespace kelpa {
namespace {

struct Check {
  int code;          // error code, or -1 when the stretch balanced
  std::string out;   // the diagnostic
  std::string rest;  // text after the cursor when it balanced
};

// Reads the first token of `text` and runs the check from it.
Check check(const std::string& text) {
  test::Console console;
  test::load_text(text);
  Check c{-1, "", ""};
  try {
    next_token();
    check_brackets();
    c.rest = interp.cursor;
  } catch (const ScriptError& e) {
    c.code = e.code;
  }
  c.out = console.text();
  release_interpreter();
  return c;
}

TEST(ExecBrackets, BalancedStretchEndsAfterItsCloser) {
  Check c = check("( a[1] + { b } ) tail");
  EXPECT_EQ(c.code, -1);
  EXPECT_EQ(c.rest, " tail");

  // Brackets inside string and character literals are not counted.
  c = check("{ printf(\"(}]\"); x = ')'; } after");
  EXPECT_EQ(c.code, -1);
  EXPECT_EQ(c.rest, " after");

  // Any other current token consumes nothing.
  c = check("x ( y");
  EXPECT_EQ(c.code, -1);
  EXPECT_EQ(c.rest, " ( y");
}

TEST(ExecBrackets, ImbalanceIsReportedAtTheRightBracket) {
  // A closer of the wrong kind names the bracket left open, on its line.
  Check c = check("(a\n[1\n);");
  EXPECT_EQ(c.code, ERR_BRACKETS);
  EXPECT_NE(c.out.find("unbalanced brackets in line 2\n[1\n"), std::string::npos) << c.out;

  // A closer with nothing open is reported where it stands.
  c = check("\n\n}");
  EXPECT_EQ(c.code, ERR_BRACES);
  EXPECT_NE(c.out.find("in line 3\n}\n"), std::string::npos) << c.out;

  // The end of the text with brackets open blames the innermost one.
  c = check("{\n  (\n  x = 1;\n");
  EXPECT_EQ(c.code, ERR_PARENTHESES);
  EXPECT_NE(c.out.find("unbalanced parentheses in line 2\n(\n"), std::string::npos) << c.out;
}

}  // namespace
}  // namespace kelpa

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

TEST(ExecBrackets, StretchEndsAfterItsCloserOrBlamesTheRightBracket) {
  struct Row {
    const char* text;
    int code;           // error code, or -1 when the stretch balanced
    const char* after;  // text after the cursor, or a piece of the diagnostic
  };
  const Row rows[] = {
      {"( a[1] + { b } ) tail", -1, " tail"},
      // Brackets inside string and character literals are not counted.
      {"{ printf(\"(}]\"); x = ')'; } after", -1, " after"},
      // Any other current token consumes nothing.
      {"x ( y", -1, " ( y"},
      // The end of the text with brackets open blames the innermost one.
      {"{\n  (\n  x = 1;\n", ERR_PARENTHESES, "unbalanced parentheses in line 2\n(\n"},
      {nullptr, 0, nullptr},
  };
  for (const Row* r = rows; r->text; ++r) {
    test::Console console;
    test::load_text(r->text);
    int code = -1;
    std::string seen;
    try {
      next_token();
      check_brackets();
      seen = interp.cursor;
    } catch (const ScriptError& e) {
      code = e.code;
      seen = console.text();
    }
    release_interpreter();
    EXPECT_EQ(code, r->code) << r->text;
    if (code == -1) EXPECT_EQ(seen, r->after) << r->text;
    else EXPECT_NE(seen.find(r->after), std::string::npos) << r->text << "\n" << seen;
  }
}

}  // namespace
}  // namespace kelpa

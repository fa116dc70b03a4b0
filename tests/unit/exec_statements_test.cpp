// The statement executor and control flow, seen from the interpreter state:
// what blocks give back, where the cursor stands after each way a statement
// can end, and what the skipping routines consume.
#include <gtest/gtest.h>

#include <string>

#include "exec/exec.h"
#include "harness.h"
#include "interp/errors.h"
#include "lexer/scanner.h"
#include "storage/var_table.h"

namespace kelpa {
namespace {

class ExecStatements : public test::FreshInterpreter {
 protected:
  // Loads `text` behind a declaration of the ints a, n and x (all 0) at the
  // outermost level, and runs that declaration.
  void load(const std::string& text) {
    test::load_text("int a = 0, n = 0, x = 0;\n" + text);
    exec_statement();
  }
  std::string rest() { return interp.cursor ? interp.cursor : "(null)"; }

};

TEST_F(ExecStatements, WhereEachWayOfEndingLeavesTheCursor) {
  struct Row {
    const char* text;
    int done;
    const char* rest;  // nullptr: the statement's own text
    Word x;
  };
  const Row rows[] = {
      // Blocks give back their entries, arena and depth (checked below).
      {"{ int a; string s; { int b; region r; } x = 1; } tail", DONE_NORMAL, " tail", 1},
      {"{ x = 1; { n = 2; break; x = 3; } x = 4; } after", DONE_BREAK, " after", 1},
      // A return reads nothing past its expression, even without a semicolon.
      {"{ { return 5 } x = 1; }", DONE_RETURN, "} x = 1; }", 0},
      // An unmatched '}' and the end of the text both end a statement sequence.
      {"} x = 1;", DONE_END, " x = 1;", 0},
      {"{ x = 1;", DONE_END, "(null)", 1},
      // A loop with another pass due stands on its own keyword.
      {"while (x < 3) x++; rest", DONE_NORMAL, nullptr, 1},
      {"do x++; while (x < 2); rest", DONE_NORMAL, nullptr, 1},
      {"do { x++; break; } while (1); rest", DONE_NORMAL, " rest", 1},
      {"for (a = 0; a < 4; a++) { if (a == 1) continue; if (a == 3) break; x++; } rest", DONE_NORMAL, " rest", 2},
      {nullptr, 0, nullptr, 0},
  };
  for (const Row* r = rows; r->text; ++r) {
    load(r->text);
    std::int32_t count = interp.var_count;
    Addr top = interp.arena_top;
    EXPECT_EQ(exec_statement(), r->done) << r->text;
    EXPECT_EQ(rest(), r->rest ? r->rest : r->text) << r->text;
    EXPECT_EQ(find_name("x")->value, r->x) << r->text;
    EXPECT_EQ(interp.var_count, count) << r->text;
    EXPECT_EQ(interp.arena_top, top) << r->text;
    EXPECT_EQ(interp.block_depth, 0) << r->text;
  }
}

TEST_F(ExecStatements, UnclosedForStepIsBlamedOnTheHeader) {
  load("for (a = 0;\n a < 3; (a++ ;");
  EXPECT_THROW(exec_statement(), ScriptError);
  EXPECT_NE(console_.text().find("unbalanced parentheses in line 2\nfor (a = 0;\n"), std::string::npos)
      << console_.text();
}

TEST_F(ExecStatements, SkipsStopWhereTheStatementOrExpressionEnds) {
  const struct {
    const char* text;
    void (*skip)();
    const char* rest;
  } rows[] = {
      // An if whose then-branch is a block is skipped only up to that block.
      {"if (x) { a = 1; } else n = 1; rest", skip_statement, " else n = 1; rest"},
      {"f(a, (n; x)); rest", skip_statement, " rest"},
      // skip_expression gives its stopping token back.
      {"g(1, 2) + [3, {4, 5}], next", skip_expression, ", next"},
  };
  for (const auto& r : rows) {
    load(r.text);
    r.skip();
    EXPECT_EQ(rest(), r.rest) << r.text;
  }
}

}  // namespace
}  // namespace kelpa

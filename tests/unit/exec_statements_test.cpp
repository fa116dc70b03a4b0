// The statement executor and control flow, seen from the interpreter state:
// what blocks give back, where the cursor stands after each way a statement
// can end, and what the skipping routines consume.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "exec/exec.h"
#include "harness.h"
#include "interp/errors.h"
#include "lexer/scanner.h"
#include "storage/var_table.h"

namespace kelpa {
namespace {

class ExecStatements : public ::testing::Test {
 protected:
  void TearDown() override { release_interpreter(); }

  // Loads `text` with the variables a, b, x, y, z, w and n (all 0) declared
  // at the outermost level and the cursor at the text's start.
  void load(const std::string& text) {
    test::load_text(text);
    for (const char* name : {"a", "b", "x", "y", "z", "w", "n"}) {
      VarEntry* e = alloc_var();
      set_name(e, name);
      e->type = 3;
      e->value = 0;
      e->size = 0;
    }
  }
  std::int32_t value(const char* name) { return static_cast<std::int32_t>(find_name(name)->value); }
  std::string rest() { return interp.cursor ? interp.cursor : "(null)"; }

  test::Console console_;
};

TEST_F(ExecStatements, BlocksGiveBackEntriesArenaAndDepth) {
  load("{ int a; string s; { int b; region r; } } tail");
  std::int32_t count = interp.var_count;
  Addr top = interp.arena_top;
  std::int32_t depth = interp.block_depth;
  EXPECT_EQ(exec_statement(), DONE_NORMAL);
  EXPECT_EQ(interp.var_count, count);
  EXPECT_EQ(interp.arena_top, top);
  EXPECT_EQ(interp.block_depth, depth);
  EXPECT_EQ(rest(), " tail");
}

TEST_F(ExecStatements, BreakAndReturnLeaveNestedBlocks) {
  load("{ x = 1; { y = 2; break; z = 3; } w = 4; } after");
  std::int32_t depth = interp.block_depth;
  EXPECT_EQ(exec_statement(), DONE_BREAK);
  EXPECT_EQ(value("x"), 1);
  EXPECT_EQ(value("y"), 2);
  EXPECT_EQ(value("z"), 0);
  EXPECT_EQ(value("w"), 0);
  EXPECT_EQ(interp.block_depth, depth);
  EXPECT_EQ(rest(), " after");

  // A return reads nothing past its expression, even without a semicolon.
  load("{ { return 5 } x = 1; }");
  EXPECT_EQ(exec_statement(), DONE_RETURN);
  EXPECT_EQ(rest(), "} x = 1; }");
  EXPECT_EQ(value("x"), 0);

  // An unmatched '}' and the end of the text both end a statement sequence.
  load("} x = 1;");
  EXPECT_EQ(exec_statement(), DONE_END);
  EXPECT_EQ(rest(), " x = 1;");
  load("{ x = 1;");
  EXPECT_EQ(exec_statement(), DONE_END);
  EXPECT_EQ(interp.cursor, nullptr);
  EXPECT_EQ(value("x"), 1);
}

TEST_F(ExecStatements, LoopsLeaveTheCursorWhereTheNextPassStarts) {
  // A while with another iteration due stands on its own keyword.
  load("while (n < 3) n++; rest");
  EXPECT_EQ(exec_statement(), DONE_NORMAL);
  EXPECT_EQ(value("n"), 1);
  EXPECT_EQ(rest(), "while (n < 3) n++; rest");

  load("do n++; while (n < 2); rest");
  EXPECT_EQ(exec_statement(), DONE_NORMAL);
  EXPECT_EQ(rest(), "do n++; while (n < 2); rest");
  EXPECT_EQ(exec_statement(), DONE_NORMAL);
  EXPECT_EQ(value("n"), 2);
  EXPECT_EQ(rest(), "; rest");  // the ';' runs next as an empty statement

  load("do { n++; break; } while (1); rest");
  EXPECT_EQ(exec_statement(), DONE_NORMAL);
  EXPECT_EQ(rest(), " rest");

  load("for (a = 0; a < 4; a++) { if (a == 1) continue; if (a == 3) break; n++; } rest");
  EXPECT_EQ(exec_statement(), DONE_NORMAL);
  EXPECT_EQ(value("n"), 2);
  EXPECT_EQ(value("a"), 3);
  EXPECT_EQ(rest(), " rest");

  // A step clause left open is blamed on the header's first ';'.
  load("for (a = 0;\n a < 3; (a++ ;");
  try {
    exec_statement();
    ADD_FAILURE() << "no error";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.code, ERR_PARENTHESES);
  }
  EXPECT_NE(console_.text().find("in line 1\nfor (a = 0;\n"), std::string::npos) << console_.text();
}

TEST_F(ExecStatements, SkipsStopWhereTheStatementOrExpressionEnds) {
  // An if whose then-branch is a block is skipped only up to that block.
  load("if (x) { a = 1; } else b = 1; rest");
  skip_statement();
  EXPECT_EQ(rest(), " else b = 1; rest");

  load("f(a, (b; c)); rest");
  skip_statement();
  EXPECT_EQ(rest(), " rest");

  // skip_expression gives its stopping token back.
  load("g(1, 2) + [3, {4, 5}], next");
  skip_expression();
  EXPECT_EQ(rest(), ", next");
  load("a + b) tail");
  skip_expression();
  EXPECT_EQ(rest(), ") tail");
}

}  // namespace
}  // namespace kelpa

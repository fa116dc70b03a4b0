// Subscripts and brace lists: references the golden scripts cannot reach
// (a corrupted dimension word, subscripts that leave the script's memory or
// wrap the address) and the exact layout of a list in the arena.
#include <gtest/gtest.h>

#include "expr/eval.h"
#include "harness.h"
#include "interp/errors.h"
#include "lexer/scanner.h"
#include "storage/address_space.h"
#include "storage/assignment.h"
#include "storage/types.h"

namespace kelpa {
namespace {

using test::error_of;
using test::run_script;

std::string body(const std::string& statements) { return "void main() {\n" + statements + "\n}\n"; }

TEST(Access, MalformedReferencesRaise) {
  EXPECT_EQ(error_of(body("char *p = \"ab\"; int x = p[1][0];")), ERR_PARAMETER);
  EXPECT_EQ(error_of(body("string s; int x = s[0][0];")), ERR_PARAMETER);
  EXPECT_EQ(error_of(body("region rs[2]; int x = rs.left;")), ERR_SYNTAX);
  // A dimension word overwritten with 0 is caught rather than divided by.
  EXPECT_EQ(error_of(body("int a[2][3]; int *p = a[0]; p[-2] = 0; int x = a[1][1];")), ERR_PARAMETER);
}

TEST(Access, SubscriptsOutsideTheScriptsMemory) {
  EXPECT_EQ(error_of(body("int a[3]; a[1000000] = 1;")), ERR_OUT_OF_RANGE);
  EXPECT_EQ(error_of(body("int a[3]; int x = a[-100000];")), ERR_OUT_OF_RANGE);
  EXPECT_EQ(error_of(body("int a[2][2]; int x = a[300000][0];")), ERR_OUT_OF_RANGE);
  // A string grown onto the heap owns exactly its text plus the NUL.
  EXPECT_EQ(error_of(body("string s = \"0123456789012345678901234567890123456789012345678901234567890123456789\";"
                          "s[70] = 0; s[71] = 'x';")),
            ERR_OUT_OF_RANGE);
  // The address of a variable's own value word spans four bytes.
  EXPECT_EQ(error_of(body("int n; char *p = &n; short x = p[3]; int *q = p + 2; int y = q[0];")), ERR_OUT_OF_RANGE);
  // A subscript that wraps the 32-bit address lands back on the array.
  auto r = run_script(body("int a[2]; a[0] = 7; printf(\"%d\\n\", a[1073741824]);"));
  EXPECT_EQ(r.out, "7\n");
}

class ListLayout : public ::testing::Test {
 protected:
  void TearDown() override { release_interpreter(); }

  // Evaluates the list at the start of `text`; returns its count.
  std::int32_t eval_list(const std::string& text, Word* slot) {
    test::load_text(text);
    next_token();
    return eval_initializer_list(slot);
  }
  test::Console console_;
};

TEST_F(ListLayout, NestedBracesFlattenIntoOneRun) {
  Word list = 0;
  EXPECT_EQ(eval_list("{1, {2, 3}, {{4}}};", &list), 4);
  EXPECT_EQ(list, ARENA_BASE + 4);  // a fresh arena: the count word, then the pairs
  EXPECT_EQ(list_count(list), 4);
  for (std::uint32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(read_word(list + 8 * i), i + 1);
    EXPECT_EQ(read_word(list + 8 * i + 4), T_INT);
  }
  EXPECT_EQ(interp.arena_top, list + 32);
  EXPECT_STREQ(interp.token_text, ";");
}

TEST_F(ListLayout, ItemsThatUseTheArenaMoveTheRunAboveThem) {
  Word list = 0;
  EXPECT_EQ(eval_list("{\"ab\", 2.5, \"cd\"} x", &list), 3);
  EXPECT_EQ(list_count(list), 3);
  Addr first = read_word(list), third = read_word(list + 16);
  EXPECT_STREQ(text_at(first), "ab");
  EXPECT_STREQ(text_at(third), "cd");
  EXPECT_EQ(read_word(list + 4), T_STRING);
  EXPECT_EQ(bits_float(read_word(list + 8)), 2.5f);
  EXPECT_EQ(read_word(list + 12), T_FLOAT);
  // The pairs (and their count word) follow both copies and end the arena.
  EXPECT_GT(list - 4, third);
  EXPECT_EQ(interp.arena_top, list + 24);
}

TEST_F(ListLayout, ItemsWithoutValueAreRefused) {
  for (const char* text : {"{}", "{1,,2}", "{1, 2", "{1 2}", "{,}", "{{}}"}) {
    Word list = 0;
    int code = -1;
    try {
      eval_list(text, &list);
    } catch (const ScriptError& e) {
      code = e.code;
    }
    EXPECT_EQ(code, ERR_PARAMETER) << text;
  }
}

}  // namespace
}  // namespace kelpa

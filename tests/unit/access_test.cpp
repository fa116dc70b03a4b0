// Subscripts, region fields and brace lists: addressing of every dimension,
// partial indexing, the errors of malformed references, subscripts that
// leave the script's memory, and the layout of a list in the arena.
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

TEST(Access, ArraysOfSeveralDimensions) {
  auto r = run_script(body(
      "int a[2][3][4]; int i, j, k;"
      "for (i = 0; i < 2; i++) for (j = 0; j < 3; j++) for (k = 0; k < 4; k++) a[i][j][k] = i*100 + j*10 + k;"
      "char *base = a; char *e = &a[1][2][3];"
      "printf(\"%d %d %d\\n\", a[1][2][3], a[0][2][1], e - base);"
      "int *row = a[1]; int *pc = a[1][2];"
      "printf(\"%d %d %d\\n\", row - a[0], row[4], pc[1]);"
      "char c[3][3]; char *p = c; c[1][0] = 'x'; c[2][0] = 'y';"
      "printf(\"%c%c\\n\", p[3], p[6]);"
      "float f[2]; f[1] = 2.5; printf(\"%f\\n\", f[1] * 2);"
      "string names[2]; names[1] = \"bo\"; printf(\"%s\\n\", names[1]);"));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "123 21 92\n12 110 121\nxy\n5.000000\nbo\n");
}

TEST(Access, StringsAndPointers) {
  auto r = run_script(body(
      "string s = \"hello\"; s[0] = 'j'; printf(\"%s %c\\n\", s, s[4]);"
      "char *p = s; printf(\"%c\\n\", p[1]);"
      "short h[3]; short *q = h; q[2] = -5; printf(\"%d\\n\", h[2]);"
      "s[1]++; printf(\"%s\\n\", s);"));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "jello o\ne\n-5\njfllo\n");
}

TEST(Access, RegionFieldsIgnoreCase) {
  auto r = run_script(body(
      "region r; r.left = 1; r.BOTTOM = 2; r.Right = 3; r.top = 4;"
      "r.x = 5; r.y = 6; r.w = 7; r.H = 8; r.w += 10;"
      "int *f = r; printf(\"%d %d %d %d\\n\", f[0], f[7], r.LEFT, r.w);"
      "region rs[2]; rs[1] = r; region t = rs[1]; printf(\"%d\\n\", t.h);"));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "1 8 1 17\n8\n");
}

TEST(Access, MalformedReferencesRaise) {
  EXPECT_EQ(error_of(body("char *p = \"ab\"; int x = p[1][0];")), ERR_PARAMETER);
  EXPECT_EQ(error_of(body("int a[2]; int x = a[1][0];")), ERR_PARAMETER);
  EXPECT_EQ(error_of(body("string s; int x = s[0][0];")), ERR_PARAMETER);
  EXPECT_EQ(error_of(body("int n; int x = n[0];")), ERR_PARAMETER);
  EXPECT_EQ(error_of(body("int a[2]; int x = a[1;")), ERR_BRACKETS);
  EXPECT_EQ(error_of(body("region r; int x = r.z;")), ERR_SYNTAX);
  EXPECT_EQ(error_of(body("region r; int x = r->x;")), ERR_SYNTAX);
  EXPECT_EQ(error_of(body("int n; int x = n.left;")), ERR_SYNTAX);
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

TEST(Access, ListsFillArraysAndRegions) {
  auto r = run_script(body(
      "int a[2][3] = {{1, 2, 3}, {4, 5, 6}}; printf(\"%d %d\\n\", a[1][0], a[1][2]);"
      "int b[4] = {7}; printf(\"%d %d\\n\", b[0], b[3]);"
      "float f[2] = {1, 2.5}; printf(\"%f %f\\n\", f[0], f[1]);"
      "region q = {1, 2, 3, 4}; printf(\"%d %d %d\\n\", q.top, q.x, q.h);"
      "char c[4] = {'a', 98, 99.7}; printf(\"%s\\n\", c);"));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "4 6\n7 0\n1.000000 2.500000\n4 0 0\nabc\n");
}

}  // namespace
}  // namespace kelpa

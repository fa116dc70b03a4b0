// Subscripts and brace lists: references the golden scripts cannot reach
// (a corrupted dimension word, subscripts that leave the script's memory or
// wrap the address) and the exact layout of a list in the arena.
#include "harness.h"
#include "expr/eval.h"
#include "lexer/scanner.h"

namespace kelpa {
namespace {

using test::error_of;

std::string body(const std::string& statements) { return "void main() {\n" + statements + "\n}\n"; }

TEST(Access, ReferencesOutsideTheScriptsMemoryOrShape) {
  const struct { const char* statements; int code; } rows[] = {
      {"string s; int x = s[0][0];", ERR_PARAMETER},
      {"region rs[2]; int x = rs.left;", ERR_SYNTAX},
      // A dimension word overwritten with 0 is caught rather than divided by.
      {"int a[2][3]; int *p = a[0]; p[-2] = 0; int x = a[1][1];", ERR_PARAMETER},
      {"int a[3]; int x = a[-100000];", ERR_OUT_OF_RANGE},
      {"int a[2][2]; int x = a[300000][0];", ERR_OUT_OF_RANGE},
      // A string grown onto the heap owns exactly its text plus the NUL.
      {"string s = \"0123456789012345678901234567890123456789012345678901234567890123456789\";"
       "s[70] = 0; s[71] = 'x';", ERR_OUT_OF_RANGE},
      // The address of a variable's own value word spans four bytes.
      {"int n; char *p = &n; short x = p[3]; int *q = p + 2; int y = q[0];", ERR_OUT_OF_RANGE},
      // Lists whose items lack a value.
      {"int a[3] = {1 2};", ERR_PARAMETER},
      {"int a[3] = {,};", ERR_PARAMETER},
      {"int a[3] = {{}};", ERR_PARAMETER},
  };
  for (const auto& r : rows) EXPECT_EQ(error_of(body(r.statements)), r.code) << r.statements;
  // A subscript that wraps the 32-bit address lands back on the array.
  EXPECT_EQ(test::run_script(body("int a[2]; a[0] = 7; printf(\"%d\\n\", a[1073741824]);")).out, "7\n");
}

class ListLayout : public ::testing::Test {
 protected:
  void TearDown() override { release_interpreter(); }

  // Evaluates the list at the start of `text`; returns its address.
  Word eval_list(const std::string& text) {
    test::load_text(text);
    next_token();
    Word list = 0;
    std::int32_t count = eval_initializer_list(&list);
    EXPECT_EQ(count, list_count(list));
    return list;
  }
  test::Console console_;
};

TEST_F(ListLayout, ACountWordThenValueTypePairs) {
  Word list = eval_list("{1, {2, 3}, {{4}}};");
  EXPECT_EQ(list, ARENA_BASE + 4);  // a fresh arena: the count word, then the pairs
  EXPECT_EQ(list_count(list), 4);
  for (std::uint32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(read_word(list + 8 * i), i + 1);
    EXPECT_EQ(read_word(list + 8 * i + 4), T_INT);
  }
  EXPECT_EQ(interp.arena_top, list + 32);
  EXPECT_STREQ(interp.token_text, ";");

  // A list the text ends inside of.
  EXPECT_EQ(test::raised([&] { eval_list("{1, 2"); }), ERR_PARAMETER);
}

}  // namespace
}  // namespace kelpa

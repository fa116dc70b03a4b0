// The token scanner: operator encodings and lengths, unread_token,
// keywords, words and numbers, string and character literals, comments,
// the include directive, over-long words and the end of text.
#include <vector>

#include "harness.h"

namespace kelpa {
namespace {

// One token as "<tag>:<text>" with bytes outside the printable range shown
// as \N; keywords are tagged K<code>, string literals S<literal_length>.
std::string describe(int cls) {
  static const char* tags[] = {"O", "#", "I", "B", "N", "R", "C"};
  if (cls == TK_STRING) return "S" + std::to_string(interp.literal_length);
  std::string s = (cls < TK_END ? "K" + std::to_string(cls) : std::string(tags[cls - TK_OP])) + ":";
  for (unsigned char c : std::string(interp.token_text))
    s += c < 33 || c > 126 ? "\\" + std::to_string(c) : std::string(1, c);
  return s;
}

class Scanner : public ::testing::Test {
 protected:
  void TearDown() override { release_interpreter(); }

  // Every token of `src` before the end, separated by blanks; an error adds
  // "unclosed@N" (closing quote expected) or "error@N", N being the line the
  // diagnostic names.
  static std::string scan(const std::string& src) {
    test::Console console;
    test::load_text(src);
    std::string out;
    try {
      for (int cls = next_token(); cls != TK_END; cls = next_token()) out += (out.empty() ? "" : " ") + describe(cls);
    } catch (const ScriptError& e) {
      std::string report = console.text(), line = report.substr(report.find(" in line ") + 9);
      out += (out.empty() ? "" : " ") + std::string(e.code == ERR_CLOSING_QUOTE ? "unclosed@" : "error@");
      out += line.substr(0, line.find('\n'));
    }
    return out;
  }
};

TEST_F(Scanner, TokensClassesAndEncodings) {
  const std::pair<std::string, std::string> rows[] = {
      {"a<=b x <<= 2 >>= 3", "I:a O:\\2\\2 I:b I:x O:=\\7\\7 N:2 O:=\\8\\8 N:3"},
      {"i---j a/>b", "I:i O:\\12\\12 O:- I:j I:a O:/ O:\\3 I:b"},
      {"p->q++ < > << >> >= == != && || ! ~= &&=",
       "I:p O:\\13\\13 I:q O:\\11\\11 O:\\1 O:\\3 O:\\7\\7 O:\\8\\8 O:\\4\\4 O:\\5\\5 O:\\6\\6 O:\\9\\9 O:\\10\\10 O:! "
       "O:~ O:= O:\\9\\9 O:="},
      {"WHILE While2 file Int __GLOBAL cell ReTuRn",
       "K15:WHILE I:While2 K6:file K3:Int K9:__GLOBAL K8:cell K19:ReTuRn"},
      {"$a_b1 _x a#b@c\\d $", "I:$a_b1 I:_x I:a#b@c\\d I:$"},
      {"0x1F 12ab 7; 1.2.3 1e-5 1.5e3 3.)", "N:0x1F N:12ab N:7 O:; R:1.2 O:. N:3 N:1e O:- N:5 R:1.5e3 R:3. O:)"},
      {"{[?]}\f\xC3", "B:{ O:[ O:? O:] B:} O:\\12 O:\\195"},
      // String literals are measured, not copied; continued lines stay in one.
      {" \"ab\\\"c\" x \"//'/*\" \"\\\\\" \"\"", "S7 I:x S7 S4 S2"},
      {"\"ab\\\ncd\"; \"ab\\\r\ncd\";", "S8 O:; S9 O:;"}, {"\"" + std::string(200, 'x') + "\"", "S202"},
      {"'a' ''' '\\'' '\\n'", "C:'a' C:''' C:'\\'' C:'\\n'"},
      // Comments do not nest, and "/*/" does not close itself.
      {"a//c\nb/*x\n*/c/**/ / d // last", "I:a I:b I:c O:/ I:d"},
      {"/*/ x */y /* /* */ z */", "I:y I:z O:* O:/"}, {"/* unterminated", ""},
      {"#IncLude#includex #inc # #INCLUDE \"f\"", "#:#include #:#include I:x O:# I:inc O:# #:#include S3"},
      {std::string(63, 'w'), "I:" + std::string(63, 'w')},
      {std::string(31, '1') + "." + std::string(31, '2'), "R:" + std::string(31, '1') + "." + std::string(31, '2')},
      // A NUL inside the text ends it, even within a word or a comment.
      {std::string("ab\0cd", 5), "I:ab"}, {std::string("/*\0*/x", 6), ""},
      // Unclosed literals report the line where the walk stopped. A lone
      // carriage return, or an escaped backslash, does not continue a line.
      {"x = \"abc\ny;\n", "I:x O:= unclosed@1"}, {"a;\n\"abc", "I:a O:; unclosed@2"}, {"\"ab\\", "unclosed@1"},
      {"\"ok\" \"ab\\\r", "S4 unclosed@1"}, {"\"ab\r\ncd\"", "unclosed@1"}, {"\"ab\\\\\r\ncd\"\n", "unclosed@1"},
      {std::string("\"ab\0cd\"", 7), "unclosed@1"}, {"'ab'", "unclosed@1"}, {"'\n\n'", "unclosed@2"},
      {"x\n'\\a\nb'", "I:x unclosed@2"}, {"'", "unclosed@1"}, {"'a", "unclosed@1"}, {"'\\", "unclosed@1"},
      {"'\\x", "unclosed@1"},
  };
  for (const auto& [src, tokens] : rows) EXPECT_EQ(scan(src), tokens) << src;

  // Every character of the delimiter set ends a word.
  for (char d : std::string("!;,.+-<>'/*%&|^~=()[]{}?:\r\n\t ")) {
    test::load_text(std::string("ab") + d + "'c'");
    EXPECT_EQ(next_token(), TK_IDENT) << int(d);
    EXPECT_STREQ(interp.token_text, "ab") << int(d);
  }
  EXPECT_EQ(keyword_code(""), -1);  // the table's end row is no keyword
}

TEST_F(Scanner, TokenOpAndUnread) {
  // Two tokens read: token_op of the second (the operator of an assignment,
  // the character of a character literal), then the cursor after unreading it.
  const struct {
    std::string src;
    int op, offset;
  } rows[] = {
      {"x+=1", '+', 1}, {"x-=1", '-', 1}, {"x/=1", '/', 1}, {"x&=1", '&', 1}, {"x = 1", 0, 2}, {"x<<=1", OP_SHL, 1},
      {"a<=b", OP_LE, 1}, {"x'''", '\'', 1}, {"x'\\n' x", '\\', 1}, {"x \"ab\\\"c\" x", 0, 2},
      {"x/* c */ ab", 'b', 9}, {"x  #Include", 'i', 3},
      {std::string("ab \0 cd", 7), 0, 3},  // the end of text is the NUL; unreading it moves nothing
  };
  for (const auto& r : rows) {
    test::load_text(r.src);
    next_token();
    next_token();
    EXPECT_EQ(interp.token_op, static_cast<char>(r.op)) << r.src;
    unread_token();
    EXPECT_EQ(interp.cursor - interp.source_table[0]->text, r.offset) << r.src;
  }
  // A stopped cursor gives the end token with empty text, and stays stopped.
  interp.cursor = nullptr;
  std::strcpy(interp.token_text, "junk");
  EXPECT_EQ(next_token(), TK_END);
  EXPECT_STREQ(interp.token_text, "");
  unread_token();
  EXPECT_EQ(interp.cursor, nullptr);
  EXPECT_EQ(next_token(), TK_END);
}

TEST_F(Scanner, OverLongWordsAreRefusedWithoutWritingPastTheTokenText) {
  // A word, the point after a full integer part, a fraction.
  for (const std::string& src :
       {std::string(64, 'w'), std::string(63, '1') + ".5", std::string(40, '1') + "." + std::string(24, '2')}) {
    test::Console console;
    test::load_text(src);
    interp.token_op = 0x55;
    interp.literal_length = 0x12345678;
    EXPECT_EQ(test::raised([] { next_token(); }), ERR_SYNTAX) << src;
    EXPECT_EQ(interp.token_op, 0x55) << src;  // the fields behind token_text
    EXPECT_EQ(interp.literal_length, 0x12345678) << src;
  }
}

}  // namespace
}  // namespace kelpa

namespace kelpa {
namespace {

// Everything one next_token call leaves behind, and where unread_token
// puts the cursor back; "E<code>" when the scan raises.
std::string scan_once_at(const char* text, std::size_t offset) {
  test::Console console;
  interp.cursor = const_cast<char*>(text + offset);
  std::string seen;
  int code = test::raised([&] {
    int cls = next_token();
    seen = std::to_string(cls) + "|" + interp.token_text + "|" + std::to_string(interp.token_op) + "|" +
           std::to_string(interp.cursor - text);
    if (cls == TK_STRING) seen += "|" + std::to_string(interp.literal_length);
    unread_token();
    seen += "|" + std::to_string(interp.cursor - text);
  });
  return code < 0 ? seen : "E" + std::to_string(code);
}

// The second scan of a position is answered from the remembered tokens: it
// must leave exactly what the first, real scan left, errors included, from
// every starting offset of a text full of awkward tokens.
TEST(ScannerCache, ReplayedScansMatchRealOnesFromEveryOffset) {
  const std::string src =
      "int a<=b; x <<= 2; i---j; s = \"ab\\\"c\" 'x' '\\n' /* c */ // d\n"
      "#INCLUDE \"f\" While2 WHILE 12.5e 0x1F " + std::string(70, 'w') + " \"open\n 'ab' ?:";
  test::load_text(src);
  const char* text = interp.source_table[0]->text;
  std::vector<std::string> first;
  for (std::size_t i = 0; i <= src.size(); ++i) first.push_back(scan_once_at(text, i));
  for (std::size_t i = 0; i <= src.size(); ++i) EXPECT_EQ(scan_once_at(text, i), first[i]) << "offset " << i;
  release_interpreter();
}

// Texts change under remembered scans in three ways: a cell's parameter
// list is patched into the text, a host changes a buffer it lent without
// copying between runs, and a released text's memory is reused.
TEST(ScannerCache, ChangedTextsAreScannedAfresh) {
  EXPECT_EQ(test::run_script("cell box { printf(\"in box\"); }\nvoid main() { CELL_box(); }").out, "in box");

  test::Console console;
  release_interpreter();
  char lent[] = "void main() { printf(\"%d\", 1 + 2); }";
  add_source_buffer(lent, static_cast<std::int32_t>(std::strlen(lent)), 0);
  run_function("main", 0, nullptr);
  std::strcpy(std::strstr(lent, "1 + 2"), "4 * 5); }");
  run_function("main", 0, nullptr);
  EXPECT_EQ(console.text(), "320");
  release_interpreter();

  for (int round = 0; round < 3; ++round) {
    std::string text = "void main() { printf(\"" + std::to_string(round) + "\"); }";
    EXPECT_EQ(test::run_script(text).out, std::to_string(round));
  }
}

}  // namespace
}  // namespace kelpa

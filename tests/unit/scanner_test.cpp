// The token scanner: operator encodings and lengths, unread_token,
// keywords, words and numbers, string and character literals, comments,
// the include directive, over-long words and the end of text.
#include "lexer/scanner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "harness.h"
#include "interp/errors.h"

namespace kelpa {
namespace {

struct Token {
  int cls;
  std::string text;
  bool operator==(const Token&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Token& t) {
  os << t.cls << ":";
  for (unsigned char c : t.text) {
    if (c < 32) os << "\\" << int(c);
    else os << c;
  }
  return os;
}

class Scanner : public ::testing::Test {
 protected:
  void TearDown() override { release_interpreter(); }

  // Every token of `src` up to (not including) the end token.
  std::vector<Token> scan(const std::string& src) {
    test::load_text(src);
    std::vector<Token> out;
    for (int i = 0; i < 100; ++i) {
      int cls = next_token();
      if (cls == TK_END) break;
      out.push_back({cls, interp.token_text});
    }
    return out;
  }

  // Scans `src` to its end; returns the error code raised (or -1), leaving
  // the diagnostic in `report`.
  int scan_error(const std::string& src) {
    test::Console console;
    test::load_text(src);
    int code = -1;
    try {
      while (next_token() != TK_END) {
      }
    } catch (const ScriptError& e) {
      code = e.code;
    }
    report = console.text();
    return code;
  }

  const char* text_start() { return interp.source_table[0]->text; }

  std::string report;
};

std::string ops(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

TEST_F(Scanner, RelationalShiftAndArrowOperatorsKeepSourceLength) {
  test::load_text("a<=b");
  EXPECT_EQ(next_token(), TK_IDENT);
  EXPECT_EQ(next_token(), TK_OP);
  EXPECT_EQ(std::string(interp.token_text), ops({OP_LE, OP_LE}));
  EXPECT_EQ(interp.cursor, text_start() + 3);
  unread_token();
  EXPECT_EQ(interp.cursor, text_start() + 1);
  EXPECT_EQ(next_token(), TK_OP);
  EXPECT_EQ(next_token(), TK_IDENT);
  EXPECT_STREQ(interp.token_text, "b");

  EXPECT_EQ(scan("x <<= 2 >>= 3"),
            (std::vector<Token>{{TK_IDENT, "x"}, {TK_OP, ops({'=', OP_SHL, OP_SHL})}, {TK_INT, "2"},
                                {TK_OP, ops({'=', OP_SHR, OP_SHR})}, {TK_INT, "3"}}));
  EXPECT_EQ(scan("i---j"), (std::vector<Token>{{TK_IDENT, "i"}, {TK_OP, ops({OP_DEC, OP_DEC})},
                                               {TK_OP, "-"}, {TK_IDENT, "j"}}));
  EXPECT_EQ(scan("a/>b"), (std::vector<Token>{{TK_IDENT, "a"}, {TK_OP, "/"}, {TK_OP, ops({OP_GT})},
                                              {TK_IDENT, "b"}}));
  EXPECT_EQ(scan("p->q++ < > << >> >= == != && || ! ~="),
            (std::vector<Token>{{TK_IDENT, "p"}, {TK_OP, ops({OP_ARROW, OP_ARROW})}, {TK_IDENT, "q"},
                                {TK_OP, ops({OP_INC, OP_INC})}, {TK_OP, ops({OP_LT})},
                                {TK_OP, ops({OP_GT})}, {TK_OP, ops({OP_SHL, OP_SHL})},
                                {TK_OP, ops({OP_SHR, OP_SHR})}, {TK_OP, ops({OP_GE, OP_GE})},
                                {TK_OP, ops({OP_EQ, OP_EQ})}, {TK_OP, ops({OP_NE, OP_NE})},
                                {TK_OP, ops({OP_AND, OP_AND})}, {TK_OP, ops({OP_OR, OP_OR})},
                                {TK_OP, "!"}, {TK_OP, "~"}, {TK_OP, "="}}));
  // "&&=" is the logical and followed by a plain assignment.
  EXPECT_EQ(scan("&&="), (std::vector<Token>{{TK_OP, ops({OP_AND, OP_AND})}, {TK_OP, "="}}));

  // unread_token after a three-byte shift assignment steps back three.
  test::load_text("x<<=1");
  next_token();
  next_token();
  EXPECT_EQ(interp.cursor, text_start() + 4);
  unread_token();
  EXPECT_EQ(interp.cursor, text_start() + 1);
}

TEST_F(Scanner, AssignmentTokensNameTheirOperator) {
  const char* compound = "+-*/%&|^";
  for (const char* c = compound; *c; ++c) {
    std::string src = std::string("x") + *c + "=1";
    test::load_text(src);
    next_token();
    EXPECT_EQ(next_token(), TK_OP) << src;
    EXPECT_EQ(interp.token_text[0], '=') << src;
    EXPECT_EQ(interp.token_op, *c) << src;
    EXPECT_EQ(interp.cursor, text_start() + 3) << src;
  }
  test::load_text("x = 1");
  next_token();
  next_token();
  EXPECT_STREQ(interp.token_text, "=");
  EXPECT_EQ(interp.token_op, 0);
  test::load_text("x <<= 1");
  next_token();
  next_token();
  EXPECT_EQ(interp.token_text[0], '=');
  EXPECT_EQ(interp.token_op, OP_SHL);
  test::load_text("x==1");
  next_token();
  next_token();
  EXPECT_NE(interp.token_text[0], '=');
  EXPECT_EQ(interp.token_op, OP_EQ);
}

TEST_F(Scanner, KeywordsInAnyCaseAndTheTable) {
  EXPECT_EQ(scan("WHILE While2 file Int __GLOBAL cell ReTuRn"),
            (std::vector<Token>{{KW_WHILE, "WHILE"}, {TK_IDENT, "While2"}, {KW_FILE, "file"},
                                {KW_INT, "Int"}, {KW_GLOBAL, "__GLOBAL"}, {KW_CELL, "cell"},
                                {KW_RETURN, "ReTuRn"}}));
  EXPECT_EQ(keyword_code("CONTINUE"), KW_CONTINUE);
  EXPECT_EQ(keyword_code("whilex"), -1);
  EXPECT_EQ(keyword_code(""), -1);
  EXPECT_EQ(keyword_code("_global"), -1);

  EXPECT_EQ(sizeof(KeywordRow), 32u);
  int rows = 0;
  while (keyword_table[rows].name[0]) ++rows;
  EXPECT_EQ(rows, 18);
  EXPECT_EQ(keyword_table[rows].code, TK_END);
  EXPECT_STREQ(keyword_table[0].name, "void");
  EXPECT_STREQ(keyword_table[2].name, "__global");
  EXPECT_STREQ(keyword_table[8].name, "FILE");
  EXPECT_EQ(keyword_table[17].code, KW_RETURN);
}

TEST_F(Scanner, WordsNumbersAndDelimiters) {
  EXPECT_EQ(scan("$a_b1 _x a#b@c\\d $"),
            (std::vector<Token>{{TK_IDENT, "$a_b1"}, {TK_IDENT, "_x"}, {TK_IDENT, "a#b@c\\d"},
                                {TK_IDENT, "$"}}));
  EXPECT_EQ(scan("0x1F 12ab 7;"), (std::vector<Token>{{TK_INT, "0x1F"}, {TK_INT, "12ab"},
                                                       {TK_INT, "7"}, {TK_OP, ";"}}));
  EXPECT_EQ(scan("1.2.3"), (std::vector<Token>{{TK_REAL, "1.2"}, {TK_OP, "."}, {TK_INT, "3"}}));
  EXPECT_EQ(scan("1e-5"), (std::vector<Token>{{TK_INT, "1e"}, {TK_OP, "-"}, {TK_INT, "5"}}));
  EXPECT_EQ(scan("1.5e3 3.)"), (std::vector<Token>{{TK_REAL, "1.5e3"}, {TK_REAL, "3."}, {TK_OP, ")"}}));
  // Every character of the delimiter set ends a word.
  const std::string delims = "!;,.+-<>'/*%&|^~=()[]{}?:\r\n\t ";
  for (char d : delims) {
    test::load_text(std::string("ab") + d + "'c'");
    EXPECT_EQ(next_token(), TK_IDENT) << int(d);
    EXPECT_STREQ(interp.token_text, "ab") << int(d);
  }
  // Braces, other delimiters, form feeds and high bytes are one-character tokens.
  EXPECT_EQ(scan("{[?]}\f\xC3"),
            (std::vector<Token>{{TK_BRACE, "{"}, {TK_OP, "["}, {TK_OP, "?"}, {TK_OP, "]"},
                                {TK_BRACE, "}"}, {TK_OP, "\f"}, {TK_OP, "\xC3"}}));
}

TEST_F(Scanner, StringLiteralsAreMeasuredNotCopied) {
  test::load_text(" \"ab\\\"c\" x");
  EXPECT_EQ(next_token(), TK_STRING);
  EXPECT_STREQ(interp.token_text, " ");
  EXPECT_EQ(interp.literal_length, 7);
  EXPECT_EQ(interp.cursor, text_start() + 8);
  unread_token();
  EXPECT_EQ(interp.cursor, text_start() + 1);
  EXPECT_EQ(next_token(), TK_STRING);
  EXPECT_EQ(next_token(), TK_IDENT);

  // Continued lines, LF and CRLF, stay in one literal.
  test::load_text("\"ab\\\ncd\";");
  EXPECT_EQ(next_token(), TK_STRING);
  EXPECT_EQ(interp.literal_length, 8);
  EXPECT_EQ(next_token(), TK_OP);
  test::load_text("\"ab\\\r\ncd\";");
  EXPECT_EQ(next_token(), TK_STRING);
  EXPECT_EQ(interp.literal_length, 9);
  EXPECT_EQ(next_token(), TK_OP);

  // Comment markers, apostrophes and an escaped backslash inside a literal.
  EXPECT_EQ(scan("\"//'/*\" \"\\\\\" \"\""),
            (std::vector<Token>{{TK_STRING, " "}, {TK_STRING, " "}, {TK_STRING, " "}}));
  EXPECT_EQ(interp.literal_length, 2);
  // A literal longer than token_text is fine.
  test::load_text("\"" + std::string(200, 'x') + "\"");
  EXPECT_EQ(next_token(), TK_STRING);
  EXPECT_EQ(interp.literal_length, 202);
}

TEST_F(Scanner, UnterminatedStringReportsWhereTheWalkStopped) {
  EXPECT_EQ(scan_error("x = \"abc\ny;\n"), ERR_CLOSING_QUOTE);
  EXPECT_EQ(report, "\n(null) : closing quote expected in line 1\nx = \"abc\n");
  EXPECT_EQ(scan_error("a;\n\"abc"), ERR_CLOSING_QUOTE);
  EXPECT_EQ(report, "\n(null) : closing quote expected in line 2\n\"abc\n");
  EXPECT_EQ(scan_error("\"ab\\"), ERR_CLOSING_QUOTE);
  // A carriage return alone does not continue a line; an escaped backslash
  // before the line feed does not either.
  EXPECT_EQ(scan_error("\"ab\r\ncd\""), ERR_CLOSING_QUOTE);
  EXPECT_EQ(scan_error("\"ab\\\\\ncd\"\n"), ERR_CLOSING_QUOTE);
  EXPECT_EQ(report, "\n(null) : closing quote expected in line 1\n\"ab\\\\\n");
  EXPECT_EQ(scan_error("\"ab\\\\\r\ncd\"\n"), ERR_CLOSING_QUOTE);
  EXPECT_EQ(scan_error("\"ok\" \"ab\\\r"), ERR_CLOSING_QUOTE);
}

TEST_F(Scanner, CharacterLiterals) {
  test::load_text("'\\n' x");
  EXPECT_EQ(next_token(), TK_CHAR);
  EXPECT_STREQ(interp.token_text, "'\\n'");
  EXPECT_EQ(interp.token_op, '\\');
  EXPECT_EQ(interp.token_text[2], 'n');
  unread_token();
  EXPECT_EQ(interp.cursor, text_start());
  EXPECT_EQ(scan("'a'" "'''" "'\\''"), (std::vector<Token>{{TK_CHAR, "'a'"}, {TK_CHAR, "'''"}, {TK_CHAR, "'\\''"}}));
  test::load_text("'''");
  EXPECT_EQ(next_token(), TK_CHAR);
  EXPECT_EQ(interp.token_op, '\'');

  EXPECT_EQ(scan_error("'ab'"), ERR_CLOSING_QUOTE);
  // The cursor is left on the character that should have closed it.
  EXPECT_EQ(scan_error("'\n\n'"), ERR_CLOSING_QUOTE);
  EXPECT_EQ(report, "\n(null) : closing quote expected in line 2\n\n");
  EXPECT_EQ(scan_error("x\n'\\a\nb'"), ERR_CLOSING_QUOTE);
  EXPECT_EQ(report, "\n(null) : closing quote expected in line 2\n'\\a\n");
  EXPECT_EQ(scan_error("'"), ERR_CLOSING_QUOTE);
  EXPECT_EQ(scan_error("'a"), ERR_CLOSING_QUOTE);
  EXPECT_EQ(scan_error("'\\"), ERR_CLOSING_QUOTE);
  EXPECT_EQ(scan_error("'\\x"), ERR_CLOSING_QUOTE);
}

TEST_F(Scanner, CommentsAreSkipped) {
  EXPECT_EQ(scan("/* unterminated"), std::vector<Token>{});
  EXPECT_EQ(interp.cursor, text_start() + 15);
  EXPECT_EQ(scan("a // comment"), (std::vector<Token>{{TK_IDENT, "a"}}));
  EXPECT_EQ(scan("a//c\nb/*x\n*/c/**/ / d"),
            (std::vector<Token>{{TK_IDENT, "a"}, {TK_IDENT, "b"}, {TK_IDENT, "c"}, {TK_OP, "/"},
                                {TK_IDENT, "d"}}));
  // "/*/" does not close itself; comments do not nest.
  EXPECT_EQ(scan("/*/ x */y /* /* */ z */"),
            (std::vector<Token>{{TK_IDENT, "y"}, {TK_IDENT, "z"}, {TK_OP, "*"}, {TK_OP, "/"}}));
  // unread_token after a comment leaves the comment consumed.
  test::load_text("/* c */ ab");
  next_token();
  unread_token();
  EXPECT_EQ(interp.cursor, text_start() + 8);
}

TEST_F(Scanner, IncludeDirectiveInAnyCase) {
  test::load_text("#INCLUDE \"f\"");
  EXPECT_EQ(next_token(), TK_INCLUDE);
  EXPECT_STREQ(interp.token_text, "#include");
  EXPECT_EQ(next_token(), TK_STRING);
  EXPECT_EQ(interp.literal_length, 3);
  EXPECT_EQ(scan("#IncLude#includex #inc #"),
            (std::vector<Token>{{TK_INCLUDE, "#include"}, {TK_INCLUDE, "#include"}, {TK_IDENT, "x"},
                                {TK_OP, "#"}, {TK_IDENT, "inc"}, {TK_OP, "#"}}));
  test::load_text("  #Include");
  next_token();
  unread_token();
  EXPECT_EQ(interp.cursor, text_start() + 2);
}

TEST_F(Scanner, OverLongWordsAndNumbersAreSyntaxErrors) {
  const std::string word63(63, 'w');
  EXPECT_EQ(scan(word63 + " x"), (std::vector<Token>{{TK_IDENT, word63}, {TK_IDENT, "x"}}));
  const std::string real63 = std::string(31, '1') + "." + std::string(31, '2');
  EXPECT_EQ(scan(real63), (std::vector<Token>{{TK_REAL, real63}}));

  const std::string too_long[] = {
      std::string(64, 'w'),
      std::string(200, '9'),
      std::string(63, '1') + ".5",
      std::string(40, '1') + "." + std::string(24, '2'),
  };
  for (const std::string& src : too_long) {
    test::Console console;
    test::load_text(src);
    interp.token_op = 0x55;
    interp.literal_length = 0x12345678;
    int code = -1;
    try {
      next_token();
    } catch (const ScriptError& e) {
      code = e.code;
    }
    EXPECT_EQ(code, ERR_SYNTAX) << src;
    // The fields behind token_text are untouched.
    EXPECT_EQ(interp.token_op, 0x55) << src;
    EXPECT_EQ(interp.literal_length, 0x12345678) << src;
  }
}

TEST_F(Scanner, EndOfText) {
  test::load_text("a");
  interp.cursor = nullptr;
  for (int i = 0; i < 3; ++i) {
    std::strcpy(interp.token_text, "junk");
    EXPECT_EQ(next_token(), TK_END);
    EXPECT_STREQ(interp.token_text, "");
    unread_token();
    EXPECT_EQ(interp.cursor, nullptr);
  }

  // A NUL inside the text ends it; the cursor stays on it.
  test::load_text(std::string("ab \0 cd", 7));
  EXPECT_EQ(next_token(), TK_IDENT);
  EXPECT_EQ(next_token(), TK_END);
  EXPECT_EQ(interp.cursor, text_start() + 3);
  EXPECT_EQ(next_token(), TK_END);
  unread_token();
  EXPECT_EQ(interp.cursor, text_start() + 3);
  // A word or literal running into a NUL stops there.
  EXPECT_EQ(scan(std::string("ab\0cd", 5)), (std::vector<Token>{{TK_IDENT, "ab"}}));
  EXPECT_EQ(scan_error(std::string("\"ab\0cd\"", 7)), ERR_CLOSING_QUOTE);
  EXPECT_EQ(scan(std::string("/*\0*/x", 6)), std::vector<Token>{});
  EXPECT_EQ(scan(" \t\r\n "), std::vector<Token>{});
}

}  // namespace
}  // namespace kelpa

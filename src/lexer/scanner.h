// The on-demand token scanner.
//
// There is no token list: every Part that reads script text calls
// next_token, which reads one token at `cursor` into `token_text`, advances
// `cursor` past it and returns its class. Loops and calls re-scan the same
// text, so the scanner works in place and never allocates.
#ifndef KELPA_LEXER_SCANNER_H
#define KELPA_LEXER_SCANNER_H

#include <cstdint>

namespace kelpa {

// Token classes; 1..19 are keyword codes.
enum TokenClass : int {
  KW_CHAR = 1,
  KW_SHORT = 2,
  KW_INT = 3,
  KW_FLOAT = 4,
  KW_STRING = 5,
  KW_FILE = 6,
  KW_REGION = 7,
  KW_CELL = 8,
  KW_GLOBAL = 9,
  KW_VOID = 10,
  KW_IF = 11,
  KW_ELSE = 12,
  KW_FOR = 13,
  KW_DO = 14,
  KW_WHILE = 15,
  KW_BREAK = 17,
  KW_CONTINUE = 18,
  KW_RETURN = 19,
  TK_END = 20,
  TK_OP = 21,
  TK_INCLUDE = 22,
  TK_IDENT = 23,
  TK_BRACE = 24,
  TK_INT = 25,
  TK_REAL = 26,
  TK_CHAR = 27,
  TK_STRING = 28,
};

inline bool is_type_keyword(int cls) { return cls >= KW_CHAR && cls <= KW_VOID; }

// Operator codes below the printable range; two-character operators are
// stored twice so that the token text keeps the source length.
enum OperatorCode : char {
  OP_LT = 1,
  OP_LE = 2,
  OP_GT = 3,
  OP_GE = 4,
  OP_EQ = 5,
  OP_NE = 6,
  OP_SHL = 7,
  OP_SHR = 8,
  OP_AND = 9,
  OP_OR = 10,
  OP_INC = 11,
  OP_DEC = 12,
  OP_ARROW = 13,
};

struct KeywordRow {
  char name[28];
  std::int32_t code;
};
extern const KeywordRow keyword_table[];

int next_token();
void unread_token();

// Forgets every remembered scan; called whenever a text that may have been
// scanned is patched, freed or handed back to the host.
void forget_tokens();

// The hash of a word with its letters folded to lower case; never 0. The
// scanner leaves it in token_hash for identifiers, for the name lookups.
std::uint32_t name_hash(const char* name);

// The row code of a keyword (ignoring letter case), or -1.
int keyword_code(const char* word);

}  // namespace kelpa

#endif

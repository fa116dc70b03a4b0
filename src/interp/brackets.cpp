// The bracket balance check: passes over a bracketed stretch of text, from
// an opening parenthesis, square bracket or brace to its matching closer,
// and reports the first imbalance. It looks at nothing but the first
// character of each token, so brackets inside literals do not count.
#include <cstdint>

#include "interp/errors.h"
#include "interp/prescan.h"
#include "interp/state.h"
#include "lexer/scanner.h"

namespace kelpa {

namespace {

// One kind of bracket: its opener, its closer and the error that names it.
struct BracketRow {
  char open;
  char close;
  int error;
};

const BracketRow bracket_table[] = {
    {'(', ')', ERR_PARENTHESES},
    {'[', ']', ERR_BRACKETS},
    {'{', '}', ERR_BRACES},
    {0, 0, 0},
};

const BracketRow* opened_by(char c) {
  for (const BracketRow* r = bracket_table; r->open; ++r)
    if (r->open == c) return r;
  return nullptr;
}

const BracketRow* closed_by(char c) {
  for (const BracketRow* r = bracket_table; r->open; ++r)
    if (r->close == c) return r;
  return nullptr;
}

// At most this many brackets may be open at once inside one check, less one.
constexpr int OPEN_LIMIT = 80;

}  // namespace

int check_brackets() {
  char* position[OPEN_LIMIT];
  const BracketRow* expected[OPEN_LIMIT];
  int depth = 0;
  for (;;) {
    char c = interp.token_text[0];
    if (const BracketRow* r = opened_by(c)) {
      position[depth] = interp.cursor - 1;
      expected[depth] = r;
      if (++depth >= OPEN_LIMIT) raise_error(ERR_TOO_MANY_BLOCKS);
    } else if (const BracketRow* r = closed_by(c)) {
      if (--depth < 0) raise_error(r->error);
      if (expected[depth]->close != c) {
        // A closer of the wrong kind: blame the bracket left open.
        interp.cursor = position[depth];
        raise_error(expected[depth]->error);
      }
    } else if (c == 0 && depth > 0) {
      interp.cursor = position[depth - 1];
      raise_error(expected[depth - 1]->error);
    }
    if (depth <= 0) return 0;
    next_token();
  }
}

}  // namespace kelpa

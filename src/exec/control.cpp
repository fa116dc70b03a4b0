// Control flow on the source text: conditions are evaluated where they
// stand, branches not taken are skipped token by token, and loops repeat by
// moving the cursor back. `while` and `do` run one iteration per execution
// of their statement and put the cursor back on their own keyword when
// another is due; `for` iterates inside one execution.
#include <cstdint>

#include "exec/exec.h"
#include "expr/eval.h"
#include "interp/errors.h"
#include "interp/state.h"
#include "lexer/scanner.h"

namespace kelpa {

namespace {

char first() { return interp.token_text[0]; }

// The position of the keyword just read: where unread_token would put the
// cursor back.
char* keyword_start() { return interp.cursor - interp.token_length; }

// The word of a condition; an absent expression is false.
bool is_true(Word v) { return interp.expr_type != 0 && v != 0; }

bool condition() { return is_true(eval_expression()); }

// Passes over a for header's step clause up to the ')' that closes the
// header; `condition_start` is where an unclosed header is reported.
void skip_step_clause(char* condition_start) {
  int open = 1;
  while (open > 0) {
    if (next_token() == TK_END) {
      interp.cursor = condition_start;
      raise_error(ERR_PARENTHESES);
    }
    if (first() == '(') ++open;
    if (first() == ')') --open;
  }
}

// A comma-separated list of expressions; leaves the token after it current.
void eval_expression_list() {
  do {
    eval_to_delimiter();
  } while (first() == ',');
}

}  // namespace

int exec_if() {
  if (condition()) {
    int code = exec_statement();
    while (next_token() == KW_ELSE) skip_statement();
    unread_token();
    return code;
  }
  skip_statement();
  if (next_token() == KW_ELSE) return exec_statement();
  unread_token();
  return DONE_NORMAL;
}

int exec_while() {
  char* start = keyword_start();
  if (!condition()) {
    skip_statement();
    return DONE_NORMAL;
  }
  int code = exec_statement();
  if (code == DONE_RETURN || code == DONE_END) return code;
  if (code != DONE_BREAK) interp.cursor = start;
  return DONE_NORMAL;
}

int exec_do() {
  char* start = keyword_start();
  int code = exec_statement();
  if (code == DONE_RETURN || code == DONE_END) return code;
  if (next_token() != KW_WHILE) raise_error(ERR_WHILE_EXPECTED);
  if (code == DONE_BREAK) {
    while (first() != ';')
      if (next_token() == TK_END) raise_error(ERR_SEMICOLON);
    return DONE_NORMAL;
  }
  if (condition()) interp.cursor = start;
  return DONE_NORMAL;
}

int exec_for() {
  next_token();  // the '('
  eval_expression_list();
  if (first() != ';') raise_error(ERR_SEMICOLON);
  char* condition_start = interp.cursor;
  char* body_start = nullptr;  // known once the step clause has been passed over
  for (;;) {
    bool go = is_true(eval_to_delimiter());
    if (first() != ';') raise_error(ERR_SEMICOLON);
    char* step_start = interp.cursor;
    // The step clause reads the same on every iteration, so where it ends
    // is found once and remembered like the other positions.
    if (body_start) {
      interp.cursor = body_start;
    } else {
      skip_step_clause(condition_start);
      body_start = interp.cursor;
    }
    if (!go) {
      skip_statement();
      return DONE_NORMAL;
    }
    int code = exec_statement();
    if (code == DONE_BREAK) return DONE_NORMAL;
    if (code == DONE_RETURN || code == DONE_END) return code;
    interp.cursor = step_start;
    eval_expression_list();
    interp.cursor = condition_start;
  }
}

void skip_statement() {
  next_token();
  if (first() == '{') {
    int open = 1;
    while (open > 0) {
      if (next_token() == TK_END) return;
      if (first() == '{') ++open;
      if (first() == '}') --open;
    }
    return;
  }
  int parens = 0;
  int braces = 0;
  for (;;) {
    char c = first();
    if (c == 0) return;
    if (c == '(') ++parens;
    if (c == ')') --parens;
    if (c == '{') ++braces;
    if (c == '}' && --braces == 0 && parens == 0) return;
    if (c == ';' && parens == 0 && braces == 0) return;
    next_token();
  }
}

void skip_expression() {
  int parens = 0;
  int squares = 0;
  int braces = 0;
  for (;;) {
    if (next_token() == TK_END) return;
    char c = first();
    if ((c == ')' && --parens < 0) || (c == ']' && --squares < 0) || (c == '}' && --braces < 0)) break;
    if ((c == ',' || c == ';') && parens == 0 && squares == 0 && braces == 0) break;
    if (c == '(') ++parens;
    if (c == '[') ++squares;
    if (c == '{') ++braces;
  }
  unread_token();
}

}  // namespace kelpa

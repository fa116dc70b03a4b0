// The statement executor: one statement (a whole block included) per call,
// read straight from the source text and reported by a completion code.
// Blocks open scopes on the shared block stack; whatever way a statement
// ends, it closes exactly the blocks it opened before it returns.
#include <cstdint>

#include "exec/exec.h"
#include "expr/eval.h"
#include "interp/errors.h"
#include "interp/prescan.h"
#include "interp/sources.h"
#include "kelpa/kelpa.h"
#include "lexer/scanner.h"
#include "storage/address_space.h"
#include "storage/declarations.h"
#include "storage/var_table.h"

namespace kelpa {

namespace {

// `#include "name"` met as a statement: the file is loaded and prescanned at
// once, its declarations made where the table stands now.
void exec_include() {
  int cls = next_token();
  if (cls != TK_STRING) raise_error(ERR_INCLUDE);
  Word name = 0;
  eval_primary(&name, cls);
  unread_token();
  if (!load_source_file(text_at(name))) raise_error(ERR_INCLUDE);
  char* resume = interp.cursor;
  prescan();
  interp.cursor = resume;
}

// Passes over the rest of `depth` open blocks after a break or continue:
// stops just after the outermost block's '}' or at the end of the text.
void skip_open_blocks(std::int32_t depth) {
  while (depth > 0) {
    if (next_token() == TK_END) return;
    if (interp.token_text[0] == '{') ++depth;
    if (interp.token_text[0] == '}') --depth;
  }
}

// One token's worth of a statement, with the blocks opened so far in `depth`.
int dispatch(int cls, std::int32_t* depth) {
  switch (cls) {
    case KW_IF: return exec_if();
    case KW_FOR: return exec_for();
    case KW_DO: return exec_do();
    case KW_WHILE: return exec_while();
    case KW_BREAK:
    case KW_CONTINUE:
      next_token();
      if (interp.token_text[0] != ';') raise_error(ERR_SEMICOLON);
      return cls;
    case KW_RETURN:
      exec_return();
      return DONE_RETURN;
    case TK_END:
      interp.cursor = nullptr;
      interp.token_text[0] = 0;
      return DONE_END;
    case TK_INCLUDE:
      exec_include();
      return DONE_NORMAL;
    case TK_BRACE:
      if (interp.token_text[0] == '{') {
        push_block(interp.var_count, interp.arena_top);
        ++*depth;
        return DONE_NORMAL;
      }
      if (*depth == 0) return DONE_END;
      --*depth;
      pop_blocks(1);
      return DONE_NORMAL;
    default:
      break;
  }
  if (is_type_keyword(cls)) {
    declare_list(cls);
    return DONE_NORMAL;
  }
  Word value = 0;
  eval_from_token(&value, cls);
  if (interp.token_text[0] != ';') raise_error(ERR_SEMICOLON);
  return DONE_NORMAL;
}

}  // namespace

int exec_statement() {
  count_step();
  enter_nesting();
  std::int32_t depth = 0;
  int result;
  do {
    result = dispatch(next_token(), &depth);
  } while (result == DONE_NORMAL && depth > 0);
  if (depth > 0) {
    pop_blocks(depth);
    // A return leaves at once; the caller moves the cursor away.
    if (result != DONE_RETURN) skip_open_blocks(depth);
  }
  leave_nesting();
  return result;
}

int run_until_end() {
  while (exec_statement() != DONE_END) {
  }
  return DONE_END;
}

void exec_return() {
  Word value = eval_expression();
  // At the outermost level (a __global block) there is no frame to return to.
  if (interp.call_depth > 0) interp.var_table[interp.call_stack[interp.call_depth]].return_word = value;
}

}  // namespace kelpa

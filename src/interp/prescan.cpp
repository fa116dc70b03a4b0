// The prescan: walks every source not yet walked, token by token at its
// outermost level. Type keywords declare globals (initialisers evaluated
// now) and functions; `cell NAME { ... }` becomes the parameterless function
// CELL_NAME; `#include "file"` loads a source that is walked later in the
// same run; every bracket there is checked for balance; other text is passed
// over unexecuted. The one `__global` block found runs at the end.
#include "interp/prescan.h"

#include <cstring>

#include "exec/exec.h"
#include "expr/eval.h"
#include "interp/errors.h"
#include "interp/state.h"
#include "kelpa/kelpa.h"
#include "lexer/scanner.h"
#include "storage/address_space.h"
#include "storage/declarations.h"
#include "storage/types.h"
#include "storage/var_table.h"

namespace kelpa {

namespace {

constexpr char CELL_PREFIX[] = "CELL_";

char first() { return interp.token_text[0]; }

// `cell NAME {`: a void function entry whose parameter list is an empty one
// written into the text just in front of the '{'. Line feeds there are
// stepped over so that line numbers stay right.
void declare_cell() {
  if (next_token() != TK_IDENT) raise_error(ERR_SYNTAX);
  std::size_t length = std::strlen(interp.token_text);
  if (sizeof CELL_PREFIX - 1 + length > NAME_SIZE - 1) raise_error(ERR_SYNTAX);
  VarEntry* e = alloc_var();
  e->type = T_VOID;
  e->size = KIND_FUNCTION;
  e->value = 0;
  char name[NAME_SIZE];
  std::memcpy(name, CELL_PREFIX, sizeof CELL_PREFIX - 1);
  std::memcpy(name + sizeof CELL_PREFIX - 1, interp.token_text, length + 1);
  set_name(e, name);
  next_token();
  if (first() != '{') raise_error(ERR_BRACES_EXPECTED);
  char* patch = interp.cursor - 2;
  while (*patch == '\n') --patch;
  *patch = ')';
  forget_tokens();  // the text has changed under earlier scans
  e->position = patch;
  --interp.cursor;  // back onto the '{': the body is passed over next
}

// `#include` at the outermost level: only a string literal loads a file.
void prescan_include() {
  int cls = next_token();
  if (cls != TK_STRING) return;
  Word name = 0;
  eval_primary(&name, cls);
  unread_token();
  if (!load_source_file(text_at(name))) raise_error(ERR_INCLUDE);
}

// The outermost level of one source, from the cursor to its end.
void walk_source(char** global_start) {
  for (;;) {
    int cls = next_token();
    switch (cls) {
      case TK_END: return;
      case KW_GLOBAL:
        if (*global_start) raise_error(ERR_REDEFINITION);
        next_token();
        if (first() != '{') raise_error(ERR_BRACES_EXPECTED);
        *global_start = interp.cursor;
        --interp.cursor;  // back onto the '{': the block is passed over next
        break;
      case KW_CELL: declare_cell(); break;
      case TK_INCLUDE: prescan_include(); break;
      default:
        if (is_type_keyword(cls)) {
          declare_list(cls);
        } else if (std::strchr("()[]{}", first()) && first()) {
          check_brackets();
        }
        break;
    }
  }
}

}  // namespace

void prescan() {
  char* global_start = nullptr;
  // Sources added by includes during this run are walked in it too.
  for (int i = 0; i < interp.source_count; ++i) {
    SourceEntry* s = interp.source_table[i];
    if (s->prescanned) continue;
    s->prescanned = 1;
    interp.cursor = s->text;
    walk_source(&global_start);
  }
  if (global_start) {
    interp.cursor = global_start;
    run_until_end();
  }
  if (interp.interp_state < 3) interp.interp_state = 3;
}

}  // namespace kelpa

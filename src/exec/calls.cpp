// Calls of script functions. The caller pushes the argument values as
// unnamed entries at the top of the variable table; the call opens a frame
// over them, moves the cursor to the definition, reads the parameter list
// anew (turning each argument entry into its parameter, by value), runs the
// body as one statement and comes back to the resume position.
#include <cstdint>

#include "exec/exec.h"
#include "expr/eval.h"
#include "interp/errors.h"
#include "lexer/scanner.h"
#include "storage/assignment.h"
#include "storage/declarations.h"
#include "storage/types.h"
#include "storage/var_table.h"

namespace kelpa {

namespace {

char first() { return interp.token_text[0]; }

// The entry for the parameter numbered `index` of the frame at `base`: the
// argument's own entry, or a fresh one at the top of the table. Taking it
// raises var_count, so calls made by later default values leave it intact.
VarEntry* parameter_entry(std::int32_t base, std::int32_t index) {
  if (base + index < interp.var_count) return &interp.var_table[base + index];
  return alloc_var();
}

// The default value after '=' for a parameter that got no argument. The
// parameter's own name is hidden meanwhile: its value is not set yet.
Word eval_default(VarEntry* e, TypeWord* type) {
  char initial = e->name[0];
  e->name[0] = 0;
  Word v = eval_expression();
  e->name[0] = initial;
  *type = interp.expr_type;
  next_token();
  return v;
}

}  // namespace

std::int32_t push_arguments() {
  next_token();
  if (first() != '(') raise_error(ERR_PARENTHESES_EXPECTED);
  std::int32_t count = 0;
  do {
    Word v = eval_to_delimiter();
    if (interp.expr_type != 0) {
      VarEntry* e = alloc_var();
      e->size = 0;
      e->value = v;
      e->type = interp.expr_type;
      ++count;
    }
  } while (first() == ',');
  if (first() != ')') raise_error(ERR_PARENTHESES);
  return count;
}

Word call_script_function(VarEntry* fn, char* resume, std::int32_t base, std::int32_t count) {
  if (base >= VAR_LIMIT) raise_error(ERR_TOO_MANY_VARIABLES);
  push_call_frame(base);
  interp.var_table[base].return_word = 0;
  interp.cursor = fn->position;
  std::int32_t bound = bind_parameters(count, resume);
  truncate_vars(base + bound);
  int code = exec_statement();
  if (code != DONE_RETURN && fn->type != T_VOID) raise_error(ERR_RETURN_WITHOUT_CALL);
  if (!interp.cursor) raise_error(ERR_RETURN_WITHOUT_CALL);
  interp.cursor = resume;
  truncate_vars(pop_call_frame());
  return interp.var_table[base].return_word;
}

std::int32_t bind_parameters(std::int32_t count, char* resume) {
  std::int32_t base = interp.call_stack[interp.call_depth];
  std::int32_t bound = 0;
  for (;;) {
    int cls = next_token();
    if (cls == KW_VOID) {
      next_token();
    } else if (first() == ')') {
      break;
    } else {
      if (cls < KW_CHAR || cls > KW_GLOBAL) raise_error(ERR_TYPE_EXPECTED);
      VarEntry* e = parameter_entry(base, bound);
      Word value = e->value;
      TypeWord type = e->type;
      declare_one(e, cls);
      if (bound < count) {
        if (first() == '=') {
          skip_expression();
          next_token();
        }
      } else if (first() == '=') {
        value = eval_default(e, &type);
      } else {
        interp.cursor = resume;
        raise_error(ERR_PARAMETER);
      }
      store_value(e, value, type);
      ++bound;
    }
    if (first() != ',') break;
  }
  if (first() != ')') raise_error(ERR_PARENTHESES);
  if (bound < count) {
    interp.cursor = resume;
    raise_error(ERR_PARAMETER);
  }
  return bound;
}

}  // namespace kelpa

// The prefix operators ("+" "-" "!" "~" "++" "--" "*" "&") and the level
// of parentheses, which also recognises casts: a type keyword inside the
// parentheses yields a target type carrying the cast marker, and the
// parentheses then convert the operand that follows them.
#include <cstdint>

#include "expr/eval.h"
#include "interp/errors.h"
#include "lexer/scanner.h"
#include "storage/address_space.h"
#include "storage/assignment.h"
#include "storage/types.h"
#include "storage/var_table.h"

namespace kelpa {

namespace {

bool is_prefix_operator(char c) {
  switch (c) {
    case '+': case '-': case '!': case '~': case '*': case '&': case OP_INC: case OP_DEC:
      return true;
    default:
      return false;
  }
}


// Prefix "++"/"--" on a named variable or one of its elements: steps it in
// place and yields the new value.
void step_variable(Word* slot, VarEntry* var, char op) {
  VarEntry elem;
  VarEntry* target = var;
  next_token();
  char c = interp.token_text[0];
  if (c == '[' || c == '.' || c == OP_ARROW) {
    elem = VarEntry{};
    target = access_element(var, &elem);
  }
  interp.last_address = target == var ? var_address(var_index(var)) : target->value;
  compound_assign(target, 1, T_INT, op == OP_INC ? '+' : '-');
  *slot = read_reference(target);
  interp.expr_type = target->type;
}

// The operand of "&", "*" and a cast: a primary when it starts with a
// name, otherwise the whole conditional expression that follows.
void operand_after_prefix(Word* slot, int cls) {
  if (cls == TK_IDENT) eval_primary(slot, cls);
  else eval_from_token(slot, cls);
}

// Reads the value a dereferenced type names at an address.
Word load_at(Addr address, TypeWord t) {
  switch (t) {
    case T_CHAR: return static_cast<Word>(read_i8(address));
    case T_SHORT: return static_cast<Word>(read_i16(address));
    case T_INT: case T_FLOAT: return read_word(address);
    default: break;
  }
  if (dims(t) == 0 && ptr_depth(t) != 0) return read_word(address);
  return address;
}

void apply_prefix(Word* slot, char op, int cls) {
  switch (op) {
    case OP_INC:
    case OP_DEC:
      if (cls == TK_IDENT) {
        if (VarEntry* var = find_variable(interp.token_text)) {
          step_variable(slot, var, op);
          return;
        }
      }
      eval_unary(slot, cls);  // no variable to step: acts as unary "+"
      return;
    case '&':
      operand_after_prefix(slot, cls);
      *slot = interp.last_address;
      interp.expr_type = address_of_type(interp.expr_type);
      return;
    case '*': {
      operand_after_prefix(slot, cls);
      TypeWord t = dereferenced_type(interp.expr_type);
      interp.last_address = *slot;
      interp.expr_type = t;
      *slot = load_at(*slot, t);
      return;
    }
    default:
      break;
  }
  eval_unary(slot, cls);
  if (op == '-') {
    // A float is negated by its sign bit, an integer with wrap-around.
    *slot = interp.expr_type == T_FLOAT ? *slot ^ 0x80000000u : 0u - *slot;
  } else if (op == '~') {
    *slot = ~*slot;
  } else if (op == '!') {
    *slot = *slot == 0 ? 1 : 0;
    interp.expr_type = T_INT;
  }
}

// After a type keyword inside parentheses: counts the '*' that follow and
// returns the marked target type. The ')' is left current.
TypeWord read_cast_target(int keyword) {
  std::uint32_t depth = 0;
  next_token();
  while (interp.token_text[0] == '*') {
    if (depth == 255) raise_error(ERR_SYNTAX);
    ++depth;
    next_token();
  }
  return with_ptr_depth(static_cast<TypeWord>(keyword), depth) | CAST_MARKER;
}

}  // namespace

void eval_unary(Word* slot, int cls) {
  char op = interp.token_text[0];
  if (!is_prefix_operator(op)) {
    eval_parenthesised(slot, cls);
    return;
  }
  enter_nesting();
  apply_prefix(slot, op, next_token());
  leave_nesting();
}

void eval_parenthesised(Word* slot, int cls) {
  if (interp.token_text[0] != '(') {
    eval_primary(slot, cls);
    return;
  }
  int inner = next_token();
  eval_from_token(slot, inner);
  if (interp.expr_type == 0 && is_type_keyword(inner)) interp.expr_type = read_cast_target(inner);
  if (interp.token_text[0] != ')') raise_error(ERR_PARENTHESES);
  int next = next_token();
  if ((interp.expr_type & CAST_MARKER) == 0) return;
  // "((int))": the enclosing parentheses perform the cast; the value stays
  // the 0 that the type name gave.
  if (interp.token_text[0] == ')') return;
  TypeWord target = interp.expr_type & ~CAST_MARKER;
  operand_after_prefix(slot, next);
  if (interp.expr_type != target) *slot = convert_value(*slot, interp.expr_type, target);
  interp.expr_type = target;
}

}  // namespace kelpa

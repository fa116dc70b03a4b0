// The binary levels of the evaluator, loosest first: the conditional
// operator, "&&"/"||" on one level, one comparison, the bitwise operators
// (tighter than comparisons), shifts, additive with pointer arithmetic, and
// multiplicative with float promotion. Both operands are always evaluated.
// All integer arithmetic is done on unsigned words and reinterpreted.
#include <cstdint>

#include "expr/eval.h"
#include "interp/errors.h"
#include "lexer/scanner.h"
#include "storage/assignment.h"
#include "storage/types.h"

namespace kelpa {

namespace {

using std::int32_t;
using std::uint32_t;

inline int32_t as_int(Word w) { return static_cast<int32_t>(w); }
inline Word as_word(int32_t i) { return static_cast<Word>(i); }

// A value taken as a float: a float word as is, anything else as a signed
// integer converted to the nearest float.
inline float promote(Word w, TypeWord t) {
  return t == T_FLOAT ? bits_float(w) : static_cast<float>(as_int(w));
}

// A value taken as an integer: a float truncated toward zero, else the word.
inline Word integer_of(Word w, TypeWord t) { return t == T_FLOAT ? as_word(int_of(w, T_FLOAT)) : w; }

inline char current_op() { return interp.token_text[0]; }

// Signed quotient and remainder without traps: the caller has excluded a
// zero divisor; the most negative integer divided by -1 gives itself and
// leaves remainder 0.
Word int_divide(Word a, Word b) {
  if (b == 0xFFFFFFFFu) return 0u - a;
  return as_word(as_int(a) / as_int(b));
}
Word int_remainder(Word a, Word b) {
  if (b == 0xFFFFFFFFu) return 0;
  return as_word(as_int(a) % as_int(b));
}

template <typename T>
bool compare_values(char op, T a, T b) {
  switch (op) {
    case OP_LT: return a < b;
    case OP_LE: return a <= b;
    case OP_GT: return a > b;
    case OP_GE: return a >= b;
    case OP_EQ: return a == b;
    default: return a != b;
  }
}

// Floats compare as floats when either side is one; everything else as
// signed integers (texts and pointers by address).
bool compare(char op, Word l, TypeWord lt, Word r, TypeWord rt) {
  if (lt == T_FLOAT || rt == T_FLOAT) return compare_values(op, promote(l, lt), promote(r, rt));
  return compare_values(op, as_int(l), as_int(r));
}

// One additive step where the left operand `lt` is an array or a pointer.
// Updates lt to the decayed pointer type.
Word pointer_step(char op, Word l, TypeWord* lt, Word r, TypeWord rt) {
  TypeWord elem;
  if (dims(*lt) != 0) {
    elem = element_type(*lt);
    *lt = decayed_type(*lt);
  } else {
    elem = pointee_type(*lt);
  }
  uint32_t size = static_cast<uint32_t>(element_size(elem));
  if (op == '+') return l + integer_of(r, rt) * size;
  TypeWord right = dims(rt) != 0 ? decayed_type(rt) : rt;
  if (right == *lt) return as_word(as_int(l - r) / static_cast<int32_t>(size));
  return l - integer_of(r, rt) * size;
}

Word float_multiplicative(char op, float a, float b) {
  if (op == '*') return float_bits(a * b);
  if (op == '/') {
    if (b == 0.0f) raise_error(ERR_DIVISION_BY_ZERO);
    return float_bits(a / b);
  }
  Word ia = as_word(int_of(float_bits(a), T_FLOAT));
  Word ib = as_word(int_of(float_bits(b), T_FLOAT));
  if (ib == 0) raise_error(ERR_DIVISION_BY_ZERO);
  return float_bits(static_cast<float>(as_int(int_remainder(ia, ib))));
}

Word int_multiplicative(char op, Word a, Word b) {
  if (op == '*') return a * b;
  if (b == 0) raise_error(ERR_DIVISION_BY_ZERO);
  return op == '/' ? int_divide(a, b) : int_remainder(a, b);
}

}  // namespace

Word eval_expression() {
  Word value = 0;
  int cls = next_token();
  eval_from_token(&value, cls);
  unread_token();
  return value;
}

void eval_from_token(Word* slot, int cls) {
  enter_nesting();
  eval_logical(slot, cls);
  if (current_op() == '?' && interp.expr_type != 0) {
    Word condition = *slot;
    Word chosen = 0, other = 0;
    eval_from_token(&chosen, next_token());
    TypeWord chosen_type = interp.expr_type;
    if (current_op() != ':') raise_error(ERR_SYNTAX);
    eval_from_token(&other, next_token());
    // The result carries the type of the operand it came from.
    if (condition != 0) {
      *slot = chosen;
      interp.expr_type = chosen_type;
    } else {
      *slot = other;
    }
  }
  leave_nesting();
}

void eval_logical(Word* slot, int cls) {
  eval_relational(slot, cls);
  while (current_op() == OP_AND || current_op() == OP_OR) {
    char op = current_op();
    Word right = 0;
    eval_relational(&right, next_token());
    bool result = op == OP_AND ? (*slot != 0 && right != 0) : (*slot != 0 || right != 0);
    *slot = result ? 1 : 0;
    interp.expr_type = T_INT;
  }
}

void eval_relational(Word* slot, int cls) {
  eval_bitwise(slot, cls);
  char op = current_op();
  if (op < OP_LT || op > OP_NE) return;
  TypeWord left_type = interp.expr_type;
  Word right = 0;
  eval_bitwise(&right, next_token());
  *slot = compare(op, *slot, left_type, right, interp.expr_type) ? 1 : 0;
  interp.expr_type = T_INT;
}

void eval_bitwise(Word* slot, int cls) {
  eval_shift(slot, cls);
  while (current_op() == '&' || current_op() == '|' || current_op() == '^') {
    char op = current_op();
    Word right = 0;
    eval_shift(&right, next_token());
    if (op == '&') *slot &= right;
    else if (op == '|') *slot |= right;
    else *slot ^= right;
  }
}

void eval_shift(Word* slot, int cls) {
  eval_additive(slot, cls);
  while (current_op() == OP_SHL || current_op() == OP_SHR) {
    char op = current_op();
    Word right = 0;
    eval_additive(&right, next_token());
    unsigned count = right & 31u;
    if (op == OP_SHL) *slot <<= count;
    else *slot = as_word(as_int(*slot) >> count);
  }
}

void eval_additive(Word* slot, int cls) {
  eval_multiplicative(slot, cls);
  TypeWord left_type = interp.expr_type;
  while (current_op() == '+' || current_op() == '-') {
    char op = current_op();
    Word right = 0;
    eval_multiplicative(&right, next_token());
    TypeWord right_type = interp.expr_type;
    if (dims(left_type) != 0 || ptr_depth(left_type) != 0) {
      *slot = pointer_step(op, *slot, &left_type, right, right_type);
    } else if (left_type == T_FLOAT) {
      float a = bits_float(*slot), b = promote(right, right_type);
      *slot = float_bits(op == '+' ? a + b : a - b);
    } else {
      Word b = integer_of(right, right_type);
      *slot = op == '+' ? *slot + b : *slot - b;
    }
    interp.expr_type = left_type;
  }
}

void eval_multiplicative(Word* slot, int cls) {
  eval_unary(slot, cls);
  TypeWord left_type = interp.expr_type;
  while (current_op() == '*' || current_op() == '/' || current_op() == '%') {
    char op = current_op();
    Word right = 0;
    eval_unary(&right, next_token());
    TypeWord right_type = interp.expr_type;
    if (left_type == T_FLOAT || right_type == T_FLOAT) {
      *slot = float_multiplicative(op, promote(*slot, left_type), promote(right, right_type));
      interp.expr_type = T_FLOAT;
    } else {
      *slot = int_multiplicative(op, *slot, right);
    }
    left_type = interp.expr_type;
  }
}

}  // namespace kelpa

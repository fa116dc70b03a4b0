// The binary levels of the evaluator, loosest first: the conditional
// operator, "&&"/"||" on one level, one comparison, the bitwise operators
// (tighter than comparisons), shifts, additive with pointer arithmetic, and
// multiplicative with float promotion. Both operands are always evaluated.
// All integer arithmetic is done on unsigned words and reinterpreted.
#include <array>
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

// The arithmetic levels, tightest highest; 0 for a token that is no
// arithmetic operator.
enum ArithLevel { NOT_ARITH = 0, LEVEL_BITWISE = 1, LEVEL_SHIFT = 2, LEVEL_ADDITIVE = 3, LEVEL_MULTIPLICATIVE = 4 };

constexpr std::array<std::uint8_t, 256> make_arith_levels() {
  std::array<std::uint8_t, 256> t{};
  for (unsigned char c : {'&', '|', '^'}) t[c] = LEVEL_BITWISE;
  t[OP_SHL] = t[OP_SHR] = LEVEL_SHIFT;
  t['+'] = t['-'] = LEVEL_ADDITIVE;
  for (unsigned char c : {'*', '/', '%'}) t[c] = LEVEL_MULTIPLICATIVE;
  return t;
}

constexpr std::array<std::uint8_t, 256> arith_levels = make_arith_levels();

inline int arith_level(char op) { return arith_levels[static_cast<unsigned char>(op)]; }

// An operand of the tightest level. Only an operator token can start a
// prefix operator or a parenthesis; anything else is a primary.
inline void eval_operand(Word* slot, int cls) {
  if (cls == TK_OP) eval_unary(slot, cls);
  else eval_primary(slot, cls);
}

void apply_bitwise(Word* slot, char op, Word right) {
  if (op == '&') *slot &= right;
  else if (op == '|') *slot |= right;
  else *slot ^= right;
}

void apply_shift(Word* slot, char op, Word right) {
  unsigned count = right & 31u;
  if (op == OP_SHL) *slot <<= count;
  else *slot = as_word(as_int(*slot) >> count);
}

// The left operand's type is the one the step before left in expr_type;
// the result keeps it (decayed, for an array).
void apply_additive(Word* slot, char op, TypeWord left_type, Word right, TypeWord right_type) {
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

// Integer results keep the right operand's type, as the step leaves it.
void apply_multiplicative(Word* slot, char op, TypeWord left_type, Word right, TypeWord right_type) {
  if (left_type == T_FLOAT || right_type == T_FLOAT) {
    *slot = float_multiplicative(op, promote(*slot, left_type), promote(right, right_type));
    interp.expr_type = T_FLOAT;
  } else {
    *slot = int_multiplicative(op, *slot, right);
  }
}

void eval_arith(Word* slot, int cls, int min_level);

// The operators after a first operand, from the current one on: every
// operator of level `min_level` or tighter, each right operand taken at the
// next tighter level. Operators of one level group left to right, and each
// level combines exactly as its own loop would.
[[gnu::noinline]] void combine_operators(Word* slot, int min_level) {
  for (;;) {
    const char op = current_op();
    const int level = arith_level(op);
    if (level < min_level) return;  // NOT_ARITH is below every level
    const TypeWord left_type = interp.expr_type;
    Word right = 0;
    if (level == LEVEL_MULTIPLICATIVE) eval_operand(&right, next_token());
    else eval_arith(&right, next_token(), level + 1);
    switch (level) {
      case LEVEL_BITWISE: apply_bitwise(slot, op, right); break;
      case LEVEL_SHIFT: apply_shift(slot, op, right); break;
      case LEVEL_ADDITIVE: apply_additive(slot, op, left_type, right, interp.expr_type); break;
      default: apply_multiplicative(slot, op, left_type, right, interp.expr_type); break;
    }
  }
}

// The four arithmetic levels: an operand, then the operators that bind at
// `min_level` or tighter. Most operands have none, so that test is made
// before the loop is entered.
void eval_arith(Word* slot, int cls, int min_level) {
  eval_operand(slot, cls);
  if (arith_level(current_op()) >= min_level) combine_operators(slot, min_level);
}

// One comparison at most: a second comparison operator ends the expression.
inline void relational_level(Word* slot, int cls) {
  eval_arith(slot, cls, LEVEL_BITWISE);
  char op = current_op();
  if (op < OP_LT || op > OP_NE) return;
  TypeWord left_type = interp.expr_type;
  Word right = 0;
  eval_arith(&right, next_token(), LEVEL_BITWISE);
  *slot = compare(op, *slot, left_type, right, interp.expr_type) ? 1 : 0;
  interp.expr_type = T_INT;
}

// "&&" and "||" on one level, left to right; both operands are evaluated.
inline void logical_level(Word* slot, int cls) {
  relational_level(slot, cls);
  while (current_op() == OP_AND || current_op() == OP_OR) {
    char op = current_op();
    Word right = 0;
    relational_level(&right, next_token());
    bool result = op == OP_AND ? (*slot != 0 && right != 0) : (*slot != 0 || right != 0);
    *slot = result ? 1 : 0;
    interp.expr_type = T_INT;
  }
}

}  // namespace

void eval_logical(Word* slot, int cls) { logical_level(slot, cls); }
void eval_relational(Word* slot, int cls) { relational_level(slot, cls); }

void eval_bitwise(Word* slot, int cls) { eval_arith(slot, cls, LEVEL_BITWISE); }
void eval_shift(Word* slot, int cls) { eval_arith(slot, cls, LEVEL_SHIFT); }
void eval_additive(Word* slot, int cls) { eval_arith(slot, cls, LEVEL_ADDITIVE); }
void eval_multiplicative(Word* slot, int cls) { eval_arith(slot, cls, LEVEL_MULTIPLICATIVE); }

Word eval_expression() {
  Word value = 0;
  int cls = next_token();
  eval_from_token(&value, cls);
  unread_token();
  return value;
}

Word eval_to_delimiter() {
  Word value = 0;
  eval_from_token(&value, next_token());
  return value;
}

void eval_from_token(Word* slot, int cls) {
  enter_nesting();
  logical_level(slot, cls);
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

}  // namespace kelpa

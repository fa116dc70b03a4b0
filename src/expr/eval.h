// The expression evaluator: recursive descent over the source text, with no
// tree. Every level is entered with the operand's first token already read
// (its class passed in), writes the value into the caller's slot and the type
// into interp.expr_type, and leaves the token after the operand current.
#ifndef KELPA_EXPR_EVAL_H
#define KELPA_EXPR_EVAL_H

#include <cstdint>

#include "interp/state.h"

namespace kelpa {

// Reads a token, evaluates one conditional expression and gives the ending
// token back; returns the value word.
Word eval_expression();
// Reads a token and evaluates one conditional expression, leaving the token
// after it current: eval_expression followed by next_token, without giving
// the token back and reading it again.
Word eval_to_delimiter();
void eval_from_token(Word* slot, int cls);
void eval_logical(Word* slot, int cls);
void eval_relational(Word* slot, int cls);
void eval_bitwise(Word* slot, int cls);
void eval_shift(Word* slot, int cls);
void eval_additive(Word* slot, int cls);
void eval_multiplicative(Word* slot, int cls);
void eval_unary(Word* slot, int cls);
void eval_parenthesised(Word* slot, int cls);
void eval_primary(Word* slot, int cls);

// The reference read rule: the value an entry (variable or element) yields.
Word read_reference(const VarEntry* e);

// Subscripts, region fields and '->' after a variable name; returns `elem`
// filled in, or `var` unchanged when the current token is none of them.
VarEntry* access_element(VarEntry* var, VarEntry* elem);

// A brace list at the current "{": flat value/type pairs placed last in the
// arena, preceded by a word holding their count. Writes the address of the
// first pair into the slot and returns the count.
std::int32_t eval_initializer_list(Word* slot);

// Number of pairs of the list whose first pair is at `list`.
std::int32_t list_count(Addr list);

}  // namespace kelpa

#endif

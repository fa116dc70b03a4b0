// Placeholder until this piece is written: every entry raises "function undefined".
#include "expr/eval.h"
#include "interp/errors.h"

namespace kelpa {

void eval_unary(Word*, int) { raise_error(ERR_FUNCTION_UNDEFINED); }
void eval_parenthesised(Word*, int) { raise_error(ERR_FUNCTION_UNDEFINED); }

}  // namespace kelpa

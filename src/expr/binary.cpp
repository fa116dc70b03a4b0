// Placeholder until this piece is written: every entry raises "function undefined".
#include "expr/eval.h"
#include "interp/errors.h"

namespace kelpa {

Word eval_expression() { raise_error(ERR_FUNCTION_UNDEFINED); }
void eval_from_token(Word*, int) { raise_error(ERR_FUNCTION_UNDEFINED); }
void eval_logical(Word*, int) { raise_error(ERR_FUNCTION_UNDEFINED); }
void eval_relational(Word*, int) { raise_error(ERR_FUNCTION_UNDEFINED); }
void eval_bitwise(Word*, int) { raise_error(ERR_FUNCTION_UNDEFINED); }
void eval_shift(Word*, int) { raise_error(ERR_FUNCTION_UNDEFINED); }
void eval_additive(Word*, int) { raise_error(ERR_FUNCTION_UNDEFINED); }
void eval_multiplicative(Word*, int) { raise_error(ERR_FUNCTION_UNDEFINED); }

}  // namespace kelpa

// Placeholder until this piece is written: every entry raises "function undefined".
#include "expr/eval.h"
#include "interp/errors.h"

namespace kelpa {

void eval_primary(Word*, int) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word read_reference(const VarEntry*) { raise_error(ERR_FUNCTION_UNDEFINED); }

}  // namespace kelpa

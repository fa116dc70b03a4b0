// Placeholder until this piece is written: every entry raises "function undefined".
#include "storage/assignment.h"
#include "interp/errors.h"

namespace kelpa {

std::int32_t int_of(Word, TypeWord) { raise_error(ERR_FUNCTION_UNDEFINED); }
float float_of(Word, TypeWord) { raise_error(ERR_FUNCTION_UNDEFINED); }
void store_value(VarEntry*, Word, TypeWord) { raise_error(ERR_FUNCTION_UNDEFINED); }
void compound_assign(VarEntry*, Word, TypeWord, int) { raise_error(ERR_FUNCTION_UNDEFINED); }
void apply_int_op(std::int32_t*, std::int32_t, int) { raise_error(ERR_FUNCTION_UNDEFINED); }
void apply_float_op(float*, float, int) { raise_error(ERR_FUNCTION_UNDEFINED); }

}  // namespace kelpa

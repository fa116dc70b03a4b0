// Placeholder until this piece is written: every entry raises "function undefined".
#include "expr/eval.h"
#include "interp/errors.h"

namespace kelpa {

VarEntry* access_element(VarEntry*, VarEntry*) { raise_error(ERR_FUNCTION_UNDEFINED); }
std::int32_t eval_initializer_list(Word*) { raise_error(ERR_FUNCTION_UNDEFINED); }
std::int32_t list_count(Addr) { raise_error(ERR_FUNCTION_UNDEFINED); }

}  // namespace kelpa

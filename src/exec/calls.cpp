// Placeholder until this piece is written: every entry raises "function undefined".
#include "exec/exec.h"
#include "interp/errors.h"

namespace kelpa {

std::int32_t push_arguments() { raise_error(ERR_FUNCTION_UNDEFINED); }
Word call_script_function(VarEntry*, char*, std::int32_t, std::int32_t) { raise_error(ERR_FUNCTION_UNDEFINED); }
std::int32_t bind_parameters(std::int32_t, char*) { raise_error(ERR_FUNCTION_UNDEFINED); }

}  // namespace kelpa

// Placeholder until this piece is written: every entry raises "function undefined".
#include "builtins/builtins.h"
#include "interp/errors.h"

namespace kelpa {

Word builtin_log2(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_pow(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_GetParamCount(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_GetParamInt(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_GetParamStr(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }

}  // namespace kelpa

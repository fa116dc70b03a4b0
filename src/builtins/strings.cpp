// Placeholder until this piece is written: every entry raises "function undefined".
#include "builtins/builtins.h"
#include "interp/errors.h"

namespace kelpa {

Word builtin_inttostr(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_strtoint(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_strcat(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_strcmp(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_stricmp(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_strcpy(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_strncpy(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_memcpy(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_memcmp(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_atoi(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }

}  // namespace kelpa

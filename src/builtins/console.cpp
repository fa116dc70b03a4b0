// Placeholder until this piece is written: every entry raises "function undefined".
#include "builtins/builtins.h"
#include "interp/errors.h"

namespace kelpa {

Word builtin_printf(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_sprintf(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_exit(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_getch(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_putch(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }

}  // namespace kelpa

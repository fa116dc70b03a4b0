// Placeholder until this piece is written: every entry raises "function undefined".
#include "builtins/builtins.h"
#include "interp/errors.h"

namespace kelpa {

Word builtin_fopen(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_fclose(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_fprintf(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
Word builtin_fscanf(std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }
void close_all_streams() {}

}  // namespace kelpa

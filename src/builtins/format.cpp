// Placeholder until this piece is written: every entry raises "function undefined".
#include "builtins/builtins.h"
#include "interp/errors.h"

namespace kelpa {

std::int32_t format_args(std::string&, const char*, std::int32_t, const ArgSlot*) { raise_error(ERR_FUNCTION_UNDEFINED); }

}  // namespace kelpa

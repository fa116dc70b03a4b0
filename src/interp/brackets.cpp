// Placeholder until this piece is written: every entry raises "function undefined".
#include "interp/prescan.h"
#include "interp/errors.h"

namespace kelpa {

int check_brackets() { raise_error(ERR_FUNCTION_UNDEFINED); }

}  // namespace kelpa

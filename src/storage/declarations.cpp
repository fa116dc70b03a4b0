// Placeholder until this piece is written: every entry raises "function undefined".
#include "storage/declarations.h"
#include "interp/errors.h"

namespace kelpa {

void declare_one(VarEntry*, int) { raise_error(ERR_FUNCTION_UNDEFINED); }
void declare_list(int) { raise_error(ERR_FUNCTION_UNDEFINED); }

}  // namespace kelpa

// Placeholder until this piece is written: every entry raises "function undefined".
#include "exec/exec.h"
#include "interp/errors.h"

namespace kelpa {

int exec_statement() { raise_error(ERR_FUNCTION_UNDEFINED); }
int run_until_end() { raise_error(ERR_FUNCTION_UNDEFINED); }
void exec_return() { raise_error(ERR_FUNCTION_UNDEFINED); }

}  // namespace kelpa

// Placeholder until this piece is written: every entry raises "function undefined".
#include "exec/exec.h"
#include "interp/errors.h"

namespace kelpa {

int exec_if() { raise_error(ERR_FUNCTION_UNDEFINED); }
int exec_while() { raise_error(ERR_FUNCTION_UNDEFINED); }
int exec_do() { raise_error(ERR_FUNCTION_UNDEFINED); }
int exec_for() { raise_error(ERR_FUNCTION_UNDEFINED); }
void skip_statement() { raise_error(ERR_FUNCTION_UNDEFINED); }
void skip_expression() { raise_error(ERR_FUNCTION_UNDEFINED); }

}  // namespace kelpa

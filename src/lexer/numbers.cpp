// Placeholder until this piece is written: every entry raises "function undefined".
#include "lexer/numbers.h"
#include "interp/errors.h"

namespace kelpa {

std::int32_t parse_int_literal(const char*) { raise_error(ERR_FUNCTION_UNDEFINED); }
double parse_real_literal(const char*) { raise_error(ERR_FUNCTION_UNDEFINED); }

}  // namespace kelpa

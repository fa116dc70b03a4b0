// Placeholder until this piece is written: every entry raises "function undefined".
#include "lexer/scanner.h"
#include "interp/errors.h"

namespace kelpa {

const KeywordRow keyword_table[] = {{"", 20}};
int next_token() { raise_error(ERR_FUNCTION_UNDEFINED); }
void unread_token() { raise_error(ERR_FUNCTION_UNDEFINED); }
int keyword_code(const char*) { raise_error(ERR_FUNCTION_UNDEFINED); }

}  // namespace kelpa

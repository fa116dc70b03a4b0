// Error reporting: every script error goes through raise_error, which prints
// the diagnostic on the console stream and throws ScriptError. Nothing after
// a raise runs, and callers rely on that.
#ifndef KELPA_INTERP_ERRORS_H
#define KELPA_INTERP_ERRORS_H

namespace kelpa {

enum ErrorCode {
  ERR_SYNTAX = 0,
  ERR_NO_EXPRESSION = 1,
  ERR_EQUALS_EXPECTED = 2,
  ERR_NOT_VARIABLE = 3,
  ERR_PARAMETER = 4,
  ERR_SEMICOLON = 5,
  ERR_BRACES = 6,
  ERR_BRACKETS = 7,
  ERR_PARENTHESES = 8,
  ERR_BRACES_EXPECTED = 9,
  ERR_PARENTHESES_EXPECTED = 10,
  ERR_FUNCTION_UNDEFINED = 11,
  ERR_TYPE_EXPECTED = 12,
  ERR_TOO_MANY_CALLS = 13,
  ERR_TOO_MANY_BLOCKS = 14,
  ERR_RETURN_WITHOUT_CALL = 15,
  ERR_WHILE_EXPECTED = 16,
  ERR_CLOSING_QUOTE = 17,
  ERR_TOO_MANY_VARIABLES = 18,
  ERR_REDEFINITION = 19,
  ERR_INCLUDE = 20,
  ERR_OUT_OF_RANGE = 21,
  ERR_DIVISION_BY_ZERO = 22,
};

// The fixed message of a code; codes outside 1..22 give "syntax error".
const char* error_message(int code);

// Prints the diagnostic for `code` at `cursor`, flushes, stops execution
// (cursor null, token_text empty) and throws ScriptError.
[[noreturn]] void raise_error(int code);

}  // namespace kelpa

#endif

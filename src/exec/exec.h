// Statements, control flow and calls of script functions. Statements return
// completion codes; loops and calls repeat by moving the cursor back.
#ifndef KELPA_EXEC_EXEC_H
#define KELPA_EXEC_EXEC_H

#include <cstdint>

#include "interp/state.h"

namespace kelpa {

enum Completion : int {
  DONE_NORMAL = 0,
  DONE_BREAK = 17,
  DONE_CONTINUE = 18,
  DONE_RETURN = 19,
  DONE_END = 20,
};

int exec_statement();
int run_until_end();
void exec_return();

int exec_if();
int exec_while();
int exec_do();
int exec_for();
void skip_statement();
void skip_expression();

std::int32_t push_arguments();
Word call_script_function(VarEntry* fn, char* resume, std::int32_t base, std::int32_t count);
std::int32_t bind_parameters(std::int32_t count, char* resume);

}  // namespace kelpa

#endif

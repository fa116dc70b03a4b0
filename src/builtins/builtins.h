// The builtin library: the tables registered at start-up and the routines.
// Every builtin takes (count, first ArgSlot) and returns one value word.
#ifndef KELPA_BUILTINS_BUILTINS_H
#define KELPA_BUILTINS_BUILTINS_H

#include <cstdint>
#include <string>

#include "interp/state.h"

namespace kelpa {

struct BuiltinRow {
  const char* name;  // empty: end of table
  BuiltinFn routine;
  TypeWord type;
};
struct ConstantRow {
  const char* name;  // empty: end of table
  Word value;
  TypeWord type;
};

extern const BuiltinRow builtin_table[];
extern const BuiltinRow extra_builtin_table[];
extern const ConstantRow constant_table[];
extern const ConstantRow orientation_table[];

// Formats args with the piecewise printf rules, appending to `out`; returns
// the number of characters formatted. Texts are read through the address
// space; "%n" raises "parameter error".
std::int32_t format_args(std::string& out, const char* format, std::int32_t n, const ArgSlot* args);

Word builtin_printf(std::int32_t count, const ArgSlot* args);
Word builtin_sprintf(std::int32_t count, const ArgSlot* args);
Word builtin_exit(std::int32_t count, const ArgSlot* args);
Word builtin_getch(std::int32_t count, const ArgSlot* args);
Word builtin_putch(std::int32_t count, const ArgSlot* args);
Word builtin_inttostr(std::int32_t count, const ArgSlot* args);
Word builtin_strtoint(std::int32_t count, const ArgSlot* args);
Word builtin_strcat(std::int32_t count, const ArgSlot* args);
Word builtin_strcmp(std::int32_t count, const ArgSlot* args);
Word builtin_stricmp(std::int32_t count, const ArgSlot* args);
Word builtin_strcpy(std::int32_t count, const ArgSlot* args);
Word builtin_strncpy(std::int32_t count, const ArgSlot* args);
Word builtin_memcpy(std::int32_t count, const ArgSlot* args);
Word builtin_memcmp(std::int32_t count, const ArgSlot* args);
Word builtin_atoi(std::int32_t count, const ArgSlot* args);
Word builtin_log2(std::int32_t count, const ArgSlot* args);
Word builtin_pow(std::int32_t count, const ArgSlot* args);
Word builtin_fopen(std::int32_t count, const ArgSlot* args);
Word builtin_fclose(std::int32_t count, const ArgSlot* args);
Word builtin_fprintf(std::int32_t count, const ArgSlot* args);
Word builtin_fscanf(std::int32_t count, const ArgSlot* args);
Word builtin_GetParamCount(std::int32_t count, const ArgSlot* args);
Word builtin_GetParamInt(std::int32_t count, const ArgSlot* args);
Word builtin_GetParamStr(std::int32_t count, const ArgSlot* args);

// Closes every stream a script left open (called by release_interpreter).
void close_all_streams();

}  // namespace kelpa

#endif

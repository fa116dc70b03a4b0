// The tables registered at start-up: constants, orientation constants and
// the 24 builtins, each ended by a row whose name is empty.
#include "builtins/builtins.h"
#include "storage/types.h"

namespace kelpa {

const ConstantRow constant_table[] = {
    {"NULL", 0, T_INT},
    {"true", 1, T_INT},
    {"false", 0, T_INT},
    {"", 0, 0},
};

const ConstantRow orientation_table[] = {
    {"R0", 0, T_INT}, {"R90", 1, T_INT}, {"R180", 2, T_INT}, {"R270", 3, T_INT},
    {"MX", 4, T_INT}, {"MXR90", 5, T_INT}, {"MY", 6, T_INT}, {"MYR90", 7, T_INT},
    {"", 0, 0},
};

const BuiltinRow builtin_table[] = {
    {"printf", builtin_printf, T_INT},
    {"sprintf", builtin_sprintf, T_INT},
    {"exit", builtin_exit, T_VOID},
    {"getch", builtin_getch, T_INT},
    {"putch", builtin_putch, T_INT},
    {"inttostr", builtin_inttostr, T_STRING},
    {"strtoint", builtin_strtoint, T_INT},
    {"strcat", builtin_strcat, T_INT},
    {"strcmp", builtin_strcmp, T_INT},
    {"stricmp", builtin_stricmp, T_INT},
    {"strcpy", builtin_strcpy, T_CHAR_POINTER},
    {"strncpy", builtin_strncpy, T_CHAR_POINTER},
    {"memcpy", builtin_memcpy, T_INT},
    {"memcmp", builtin_memcmp, T_INT},
    {"atoi", builtin_atoi, T_INT},
    {"log2", builtin_log2, T_INT},
    {"pow", builtin_pow, T_INT},
    {"fopen", builtin_fopen, T_FILE_POINTER},
    {"fclose", builtin_fclose, T_INT},
    {"fprintf", builtin_fprintf, T_INT},
    {"fscanf", builtin_fscanf, T_INT},
    {"GetParamCount", builtin_GetParamCount, T_INT},
    {"GetParamInt", builtin_GetParamInt, T_INT},
    {"GetParamStr", builtin_GetParamStr, T_STRING},
    {"", nullptr, 0},
};

// Room for builtins a later release adds; registered after the main table.
const BuiltinRow extra_builtin_table[] = {
    {"", nullptr, 0},
};

}  // namespace kelpa

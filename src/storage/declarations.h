// Declarations: type keyword plus declarators, executed each time control
// passes over them. Storage is placed in the arena at arena_top.
#ifndef KELPA_STORAGE_DECLARATIONS_H
#define KELPA_STORAGE_DECLARATIONS_H

#include "interp/state.h"

namespace kelpa {

void declare_one(VarEntry* entry, int base_type);
void declare_list(int base_type);

}  // namespace kelpa

#endif

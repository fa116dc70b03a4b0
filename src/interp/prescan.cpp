// Placeholder until this piece is written: every entry raises "function undefined".
#include "interp/state.h"
#include "interp/prescan.h"
#include "interp/errors.h"

namespace kelpa {

void prescan() { if (interp.interp_state < 3) interp.interp_state = 3; }

}  // namespace kelpa

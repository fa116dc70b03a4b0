// The prescan declares what every unprescanned source defines at its
// outermost level, loads includes, checks brackets and runs the __global
// block; and the bracket balance check it shares with declarations.
#ifndef KELPA_INTERP_PRESCAN_H
#define KELPA_INTERP_PRESCAN_H

namespace kelpa {

void prescan();

// Passes over a bracketed stretch from the current bracket token to its
// closer, raising the first imbalance; returns 0 at once for any other token.
int check_brackets();

}  // namespace kelpa

#endif

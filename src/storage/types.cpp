// Type word sizes and derivations.
#include "storage/types.h"

#include "interp/errors.h"

namespace kelpa {

std::int32_t element_size(TypeWord t) {
  switch (t) {
    case T_CHAR: return 1;
    case T_SHORT: return 2;
    case T_STRING: return 64;
    case T_REGION: return 32;
    default: return 4;
  }
}

TypeWord pointee_type(TypeWord t) {
  std::uint32_t p = ptr_depth(t);
  return with_ptr_depth(t, p ? p - 1 : 0);
}

TypeWord decayed_type(TypeWord t) {
  std::uint32_t p = ptr_depth(t);
  if (p >= 255) raise_error(ERR_SYNTAX);
  return with_ptr_depth(with_dims(t, 0), p + 1);
}

TypeWord address_of_type(TypeWord t) {
  std::uint32_t p = ptr_depth(t);
  if (p >= 255) raise_error(ERR_SYNTAX);
  return with_ptr_depth(t, p + 1);
}

TypeWord dereferenced_type(TypeWord t) {
  if (dims(t) != 0) return with_dims(t, 0);
  if (ptr_depth(t) != 0) return with_ptr_depth(t, ptr_depth(t) - 1);
  raise_error(ERR_SYNTAX);
}

}  // namespace kelpa

// The host's parameter list: set_parameters installs it, GetParamCount,
// GetParamStr and GetParamInt read it.
//
// The list belongs to the host and is not copied. Its texts are mapped as
// read-only blocks of the address space, so GetParamStr hands scripts
// ordinary script addresses that no script write can reach.
#include "builtins/builtins.h"
#include "interp/errors.h"
#include "storage/address_space.h"
#include "storage/types.h"

namespace kelpa {

void set_parameters(std::int32_t count, const char* const* vector) {
  if (count < 0 || !vector) count = 0;
  interp.param_count = count;
  interp.param_vector = count ? vector : nullptr;
  map_parameters(count, interp.param_vector);
}

namespace {

bool is_option(const char* entry) { return entry[0] == '-'; }

// Option names compare with ASCII letters folded, whatever the locale.
bool same_name(const char* a, const char* b) {
  for (;; ++a, ++b) {
    char x = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a + 32) : *a;
    char y = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b + 32) : *b;
    if (x != y) return false;
    if (!x) return true;
  }
}

std::uint32_t host_length(const char* s) {
  std::uint32_t n = 0;
  while (s[n]) ++n;
  return n;
}

// The value of option `name`: the entry after it when that is not an option
// itself, else the empty text at the end of the option entry; 0 if absent.
Addr option_value(const char* name) {
  const std::int32_t n = interp.param_count;
  const char* const* v = interp.param_vector;
  for (std::int32_t i = 0; i < n; ++i) {
    if (!is_option(v[i]) || !same_name(v[i] + 1, name)) continue;
    if (i + 1 < n && !is_option(v[i + 1])) return parameter_address(i + 1);
    Addr option = parameter_address(i);
    return option ? option + host_length(v[i]) : 0;
  }
  return 0;
}

Addr lookup_parameter(std::int32_t count, const ArgSlot* args) {
  if (count != 1) raise_error(ERR_PARAMETER);
  if (args[0].type == T_INT) {
    std::int32_t index = static_cast<std::int32_t>(args[0].value);
    return index >= 0 && index < interp.param_count ? parameter_address(index) : 0;
  }
  return option_value(text_at(args[0].value));
}

}  // namespace

Word builtin_GetParamCount(std::int32_t count, const ArgSlot*) {
  if (count != 0) raise_error(ERR_PARAMETER);
  return static_cast<Word>(interp.param_count);
}

Word builtin_GetParamStr(std::int32_t count, const ArgSlot* args) { return lookup_parameter(count, args); }

Word builtin_GetParamInt(std::int32_t count, const ArgSlot* args) {
  Addr text = lookup_parameter(count, args);
  if (!text) return static_cast<Word>(-1);
  const ArgSlot slot{text, T_STRING};
  return builtin_atoi(1, &slot);
}

}  // namespace kelpa

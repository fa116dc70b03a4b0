// The console builtins: printf, sprintf, getch, putch and exit.
//
// printf formats into a buffer kept between calls (its capacity is reused,
// so a call allocates only when it outgrows every earlier one) and writes
// every formatted byte to the console stream. sprintf formats first and then
// writes through the address space, refusing with "out of range" a
// destination block too small for the text and its NUL.
#include <cstdio>
#include <cstring>
#include <string>

#include "builtins/builtins.h"
#include "interp/errors.h"
#include "storage/address_space.h"

namespace kelpa {

namespace {

// Formats the arguments after args[0] (the format) into a reused buffer.
const std::string& format_call(std::int32_t count, const ArgSlot* args) {
  static std::string buffer;
  buffer.clear();
  format_args(buffer, text_at(args[0].value), count - 1, args + 1);
  return buffer;
}

}  // namespace

Word builtin_printf(std::int32_t count, const ArgSlot* args) {
  if (count < 1) raise_error(ERR_PARAMETER);
  const std::string& text = format_call(count, args);
  std::fwrite(text.data(), 1, text.size(), interp.out_stream);
  return static_cast<Word>(text.size());
}

Word builtin_sprintf(std::int32_t count, const ArgSlot* args) {
  if (count < 2) raise_error(ERR_PARAMETER);
  Addr dest = args[0].value;
  const std::string& text = format_call(count - 1, args + 1);
  std::uint32_t need = static_cast<std::uint32_t>(text.size()) + 1;
  if (text.size() >= block_room(dest, true)) raise_error(ERR_OUT_OF_RANGE);
  std::memcpy(writable(dest, need), text.c_str(), need);
  return static_cast<Word>(text.size());
}

Word builtin_exit(std::int32_t count, const ArgSlot* args) {
  int status = count >= 1 ? static_cast<std::int32_t>(args[0].value) : -1;
  std::fflush(interp.out_stream);
  throw ScriptExit{status};
}

Word builtin_getch(std::int32_t count, const ArgSlot*) {
  if (count != 0) raise_error(ERR_PARAMETER);
  std::fflush(interp.out_stream);  // a prompt written without a newline shows first
  int c = std::fgetc(interp.in_stream);
  return c == EOF ? static_cast<Word>(-1) : static_cast<Word>(c);
}

Word builtin_putch(std::int32_t count, const ArgSlot* args) {
  if (count != 1) raise_error(ERR_PARAMETER);
  int c = std::fputc(static_cast<int>(args[0].value & 0xffu), interp.out_stream);
  return c == EOF ? static_cast<Word>(-1) : static_cast<Word>(c);
}

}  // namespace kelpa

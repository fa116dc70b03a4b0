// Text and memory builtins: strcat, strcmp, stricmp, strcpy, strncpy,
// memcpy, memcmp, atoi, inttostr, strtoint.
//
// Every text and byte range is reached through the checked address space.
// Each routine measures what it will read and write first and raises
// "out of range" before touching anything when a range leaves its block, so
// a failed call never leaves a partial copy behind. strcat and inttostr
// place their result at arena_top and keep it reserved until the enclosing
// block ends.
#include <cstdio>
#include <cstring>

#include "builtins/builtins.h"
#include "interp/errors.h"
#include "lexer/numbers.h"
#include "storage/address_space.h"
#include "storage/types.h"

namespace kelpa {

namespace {

void require_count(std::int32_t count, std::int32_t wanted) {
  if (count != wanted) raise_error(ERR_PARAMETER);
}

// A byte count from a script word: negative counts are refused.
std::uint32_t byte_count(Word w) {
  if (static_cast<std::int32_t>(w) < 0) raise_error(ERR_OUT_OF_RANGE);
  return w;
}

Word sign_word(int c) { return c < 0 ? static_cast<Word>(-1) : c > 0 ? 1u : 0u; }

unsigned char fold(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

// Compares two texts as unsigned bytes, optionally with ASCII letters folded.
Word compare_texts(const ArgSlot* args, bool ignore_case) {
  const auto* a = reinterpret_cast<const unsigned char*>(text_at(args[0].value));
  const auto* b = reinterpret_cast<const unsigned char*>(text_at(args[1].value));
  for (;; ++a, ++b) {
    unsigned char x = ignore_case ? fold(*a) : *a;
    unsigned char y = ignore_case ? fold(*b) : *b;
    if (x != y) return sign_word(x < y ? -1 : 1);
    if (x == 0) return 0;
  }
}

bool is_text_type(TypeWord t) { return t == T_STRING || t == T_CHAR_POINTER || t == T_CHAR_ARRAY; }

// The checks strcpy and strncpy share: a non-null destination and text
// types on both sides.
void check_copy_args(const ArgSlot* args) {
  if (args[0].value == 0 || !is_text_type(args[0].type) || !is_text_type(args[1].type)) raise_error(ERR_PARAMETER);
}

bool is_space(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

Word builtin_strcat(std::int32_t count, const ArgSlot* args) {
  std::uint64_t total = 0;
  for (std::int32_t i = 0; i < count; ++i) total += text_length(args[i].value);
  if (total >= ARENA_SIZE) raise_error(ERR_OUT_OF_RANGE);
  Addr result = arena_alloc(static_cast<std::uint32_t>(total) + 1, 1);
  Addr at = result;
  for (std::int32_t i = 0; i < count; ++i) {
    std::uint32_t n = text_length(args[i].value);
    copy_bytes(at, args[i].value, n);
    at += n;
  }
  write_u8(at, 0);
  return result;
}

Word builtin_strcmp(std::int32_t count, const ArgSlot* args) {
  require_count(count, 2);
  return compare_texts(args, false);
}

Word builtin_stricmp(std::int32_t count, const ArgSlot* args) {
  require_count(count, 2);
  return compare_texts(args, true);
}

Word builtin_strcpy(std::int32_t count, const ArgSlot* args) {
  require_count(count, 2);
  check_copy_args(args);
  std::uint32_t n = text_length(args[1].value) + 1;
  if (n > block_room(args[0].value, true)) raise_error(ERR_OUT_OF_RANGE);
  copy_bytes(args[0].value, args[1].value, n);
  return args[0].value;
}

Word builtin_strncpy(std::int32_t count, const ArgSlot* args) {
  require_count(count, 3);
  check_copy_args(args);
  std::uint32_t n = byte_count(args[2].value);
  Addr dst = args[0].value, src = args[1].value;
  if (n == 0) return dst;
  // The source is read up to its NUL or n bytes, whichever comes first; it
  // need not be terminated within its block when n bytes are there.
  std::uint32_t src_room = block_room(src, false);
  std::uint32_t scan = n < src_room ? n : src_room;
  const std::uint8_t* from = readable(src, scan);
  const void* nul = std::memchr(from, 0, scan);
  std::uint32_t copied = nul ? static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(nul) - from) : scan;
  if (!nul && scan < n) raise_error(ERR_OUT_OF_RANGE);
  if (n > block_room(dst, true)) raise_error(ERR_OUT_OF_RANGE);
  copy_bytes(dst, src, copied);
  if (copied < n) std::memset(writable(dst + copied, n - copied), 0, n - copied);
  return dst;
}

Word builtin_memcpy(std::int32_t count, const ArgSlot* args) {
  require_count(count, 3);
  Addr dst = args[0].value, src = args[1].value;
  if (dst == 0 || src == 0 || args[2].value == 0) return 0;
  copy_bytes(dst, src, byte_count(args[2].value));
  return dst;
}

Word builtin_memcmp(std::int32_t count, const ArgSlot* args) {
  require_count(count, 3);
  std::uint32_t n = byte_count(args[2].value);
  if (n == 0) return 0;
  const std::uint8_t* a = readable(args[0].value, n);
  const std::uint8_t* b = readable(args[1].value, n);
  return sign_word(std::memcmp(a, b, n));
}

Word builtin_atoi(std::int32_t count, const ArgSlot* args) {
  require_count(count, 1);
  const auto* p = reinterpret_cast<const unsigned char*>(text_at(args[0].value));
  while (is_space(*p)) ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  std::uint32_t v = 0;  // wraps modulo 2^32 instead of overflowing
  for (; *p >= '0' && *p <= '9'; ++p) v = v * 10u + (*p - '0');
  return negative ? 0u - v : v;
}

Word builtin_inttostr(std::int32_t count, const ArgSlot* args) {
  require_count(count, 1);
  char text[16];
  int n = std::snprintf(text, sizeof text, "%d", static_cast<int>(static_cast<std::int32_t>(args[0].value)));
  Addr result = arena_alloc(static_cast<std::uint32_t>(n) + 1, 1);
  std::memcpy(writable(result, static_cast<std::uint32_t>(n) + 1), text, static_cast<std::size_t>(n) + 1);
  return result;
}

// Hexadecimal after "0x" or "0X", else decimal, converted as a literal in
// the source would be. Text that is not a number is no error: decimal stops
// at its first non-digit just as hexadecimal stops at its first non-hex
// digit, so "12ab" gives 12 and "-5" gives 0.
Word builtin_strtoint(std::int32_t count, const ArgSlot* args) {
  require_count(count, 1);
  const char* text = text_at(args[0].value);
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return static_cast<Word>(parse_int_literal(text));
  std::uint32_t v = 0;  // wraps modulo 2^32 like a decimal literal
  for (const char* p = text; *p >= '0' && *p <= '9'; ++p) v = v * 10u + static_cast<std::uint32_t>(*p - '0');
  return v;
}

}  // namespace kelpa

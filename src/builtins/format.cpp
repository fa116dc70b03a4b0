// The formatting engine of the printf family.
//
// A script's argument list cannot be handed to the C library as is, so each
// conversion is parsed here (flags, width, precision, length modifiers,
// letter) and formatted alone with snprintf, the value chosen by the
// conversion letter and never by trust:
//   d i          the value word as a signed int
//   u o x X      the value word as an unsigned int
//   c            the value word as a character code
//   s            the text at the value word, read through the address space
//   f F e E g G a A   a double: a float argument (type 4) is widened, any
//                     other argument is its word as a signed integer
//   p            the value word as "0x" and lower-case hex digits
// "%n" raises "parameter error", and so does a '*' width or precision. Length
// modifiers are dropped. A width or precision above FIELD_LIMIT raises
// "parameter error" so that no conversion can ask for unbounded memory. A
// conversion with an unknown letter is written as it stands.
//
// Arguments go to the conversions in order. With two or more arguments the
// text is cut at the first conversion left without an argument; with none or
// one, such a conversion is written as it stands. A backslash keeps the
// character after it from starting a conversion; both are written.
#include <cstdio>
#include <cstring>

#include "builtins/builtins.h"
#include "interp/errors.h"
#include "storage/address_space.h"
#include "storage/assignment.h"
#include "storage/types.h"

namespace kelpa {

namespace {

constexpr int FIELD_LIMIT = 4096;

struct Conversion {
  char flags[6];         // each of "-+ #0" at most once, NUL-terminated
  int width;             // -1: none
  int precision;         // -1: none
  char letter;           // 0 when the format ends inside the conversion
  const char* end;       // first character after the conversion
};

// A width or precision: digits, capped; '*' is refused.
int read_field(const char** q) {
  if (**q == '*') raise_error(ERR_PARAMETER);
  int v = 0;
  while (**q >= '0' && **q <= '9') {
    v = v * 10 + (**q - '0');
    if (v > FIELD_LIMIT) raise_error(ERR_PARAMETER);
    ++*q;
  }
  return v;
}

// Parses the conversion whose '%' is at p.
Conversion parse_conversion(const char* p) {
  Conversion c{{0}, -1, -1, 0, nullptr};
  const char* q = p + 1;
  int nflags = 0;
  for (; *q && std::strchr("-+ #0", *q); ++q) {
    if (!std::memchr(c.flags, *q, static_cast<std::size_t>(nflags))) c.flags[nflags++] = *q;
  }
  if ((*q >= '0' && *q <= '9') || *q == '*') c.width = read_field(&q);
  if (*q == '.') {
    ++q;
    c.precision = read_field(&q);
  }
  while (*q && std::strchr("hlzjtLq", *q)) ++q;
  c.letter = *q;
  if (*q) ++q;
  c.end = q;
  return c;
}

// The C format of one conversion, keeping only what is defined for `letter`
// (no '#' on decimal, character or text output, no '0' or precision on
// characters, texts and pointers).
void build_c_format(char* c_format, const Conversion& c, char letter) {
  bool text_like = letter == 'c' || letter == 's';
  const char* allowed = text_like ? "-" : std::strchr("oxXfFeEgGaA", letter) ? "-+ #0" : "-+ 0";
  char* s = c_format;
  *s++ = '%';
  for (const char* f = c.flags; *f; ++f) {
    if (std::strchr(allowed, *f)) *s++ = *f;
  }
  if (c.width >= 0) s += std::snprintf(s, 8, "%d", c.width);
  if (c.precision >= 0 && letter != 'c') s += std::snprintf(s, 8, ".%d", c.precision);
  *s++ = letter;
  *s = 0;
}

template <typename T>
void append_formatted(std::string& out, const char* c_format, T value) {
  char buf[512];
  int need = std::snprintf(buf, sizeof buf, c_format, value);
  if (need <= 0) return;
  std::size_t n = static_cast<std::size_t>(need);
  if (n < sizeof buf) {
    out.append(buf, n);
    return;
  }
  std::size_t old = out.size();
  out.resize(old + n + 1);
  std::snprintf(&out[old], n + 1, c_format, value);
  out.resize(old + n);
}

// Formats one conversion with its argument; false for an unknown letter.
bool format_one(std::string& out, const Conversion& c, const ArgSlot& arg) {
  char c_format[32];
  char letter = c.letter;
  switch (letter) {
    case 'd': case 'i': case 'c':
      build_c_format(c_format, c, letter);
      append_formatted(out, c_format, static_cast<int>(static_cast<std::int32_t>(arg.value)));
      return true;
    case 'u': case 'o': case 'x': case 'X':
      build_c_format(c_format, c, letter);
      append_formatted(out, c_format, static_cast<unsigned>(arg.value));
      return true;
    case 's':
      build_c_format(c_format, c, 's');
      append_formatted(out, c_format, text_at(arg.value));
      return true;
    case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
      build_c_format(c_format, c, letter);
      append_formatted(out, c_format, arg.type == T_FLOAT ? static_cast<double>(bits_float(arg.value))
                                                      : static_cast<double>(static_cast<std::int32_t>(arg.value)));
      return true;
    case 'p': {
      char hex[16];
      std::snprintf(hex, sizeof hex, "0x%x", static_cast<unsigned>(arg.value));
      Conversion plain = c;
      plain.precision = -1;
      build_c_format(c_format, plain, 's');
      append_formatted(out, c_format, static_cast<const char*>(hex));
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

std::int32_t format_args(std::string& out, const char* format, std::int32_t n, const ArgSlot* args) {
  std::size_t start = out.size();
  bool cut_when_missing = n >= 2;
  std::int32_t next = 0;
  const char* p = format;
  while (*p) {
    if (*p != '%' && *p != '\\') {
      std::size_t run = std::strcspn(p, "%\\");
      out.append(p, run);
      p += run;
    } else if (*p == '\\') {
      std::size_t run = p[1] ? 2 : 1;
      out.append(p, run);
      p += run;
    } else if (p[1] == '%') {
      out += '%';
      p += 2;
    } else {
      Conversion c = parse_conversion(p);
      if (c.letter == 'n') raise_error(ERR_PARAMETER);
      if (next >= n && cut_when_missing) break;
      if (next >= n || !format_one(out, c, args[next])) out.append(p, static_cast<std::size_t>(c.end - p));
      if (next < n) ++next;
      p = c.end;
    }
  }
  return static_cast<std::int32_t>(out.size() - start);
}

}  // namespace kelpa

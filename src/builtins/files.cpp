// File builtins: fopen, fclose, fprintf, fscanf, and the table of streams
// they share.
//
// A script's FILE value is a small handle (1..STREAM_LIMIT) into a table of
// open streams, never a host pointer. A word that is not an open handle
// makes fclose return -1, fprintf 0 and fscanf -1 without touching anything.
// fscanf does not hand script addresses to the C library: it reads each
// conversion into a local and writes the result through the checked address
// space with the size the conversion takes.
#include <cfloat>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "builtins/builtins.h"
#include "interp/errors.h"
#include "storage/address_space.h"

namespace kelpa {

namespace {

constexpr int STREAM_LIMIT = 64;
std::FILE* streams[STREAM_LIMIT];

std::FILE* stream_of(Word handle) {
  return handle >= 1 && handle <= STREAM_LIMIT ? streams[handle - 1] : nullptr;
}

// "r", "w" or "a", then at most one 'b' and one '+' in either order.
bool valid_mode(const char* mode) {
  if (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a') return false;
  bool binary = false, update = false;
  for (const char* m = mode + 1; *m; ++m) {
    bool& seen = *m == 'b' ? binary : update;
    if ((*m != 'b' && *m != '+') || seen) return false;
    seen = true;
  }
  return true;
}

}  // namespace

void close_all_streams() {
  for (std::FILE*& f : streams) {
    if (f) std::fclose(f);
    f = nullptr;
  }
}

Word builtin_fopen(std::int32_t count, const ArgSlot* args) {
  if (count != 2) raise_error(ERR_PARAMETER);
  const char* path = text_at(args[0].value);
  const char* mode = text_at(args[1].value);
  if (!valid_mode(mode)) return 0;
  for (int i = 0; i < STREAM_LIMIT; ++i) {
    if (streams[i]) continue;
    streams[i] = std::fopen(path, mode);
    return streams[i] ? static_cast<Word>(i + 1) : 0;
  }
  return 0;  // every handle in use
}

Word builtin_fclose(std::int32_t count, const ArgSlot* args) {
  if (count != 1) raise_error(ERR_PARAMETER);
  std::FILE* f = stream_of(args[0].value);
  if (!f) return static_cast<Word>(-1);
  streams[args[0].value - 1] = nullptr;
  return std::fclose(f) == 0 ? 0 : static_cast<Word>(-1);
}

Word builtin_fprintf(std::int32_t count, const ArgSlot* args) {
  if (count < 2) raise_error(ERR_PARAMETER);
  std::FILE* f = stream_of(args[0].value);
  if (!f) return 0;
  static std::string text;  // reused: its capacity stays between calls
  text.clear();
  std::int32_t n = format_args(text, text_at(args[1].value), count - 2, args + 2);
  std::fwrite(text.data(), 1, text.size(), f);  // every byte, as printf writes them
  return static_cast<Word>(n);
}

namespace {

// How one directive of an fscanf format ended.
enum ScanResult { SCANNED, MISMATCH, INPUT_END };

struct Conversion {
  bool suppress;          // '*': read but assign nothing
  std::uint32_t width;    // 0: none given
  int length;             // 'H' for hh, 'h', 'l', or 0
  char letter;
};

bool space_char(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

void skip_space(std::FILE* f) {
  int c;
  while ((c = std::fgetc(f)) != EOF && space_char(c)) {
  }
  if (c != EOF) std::ungetc(c, f);
}

int digit_value(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

// Reads characters one at a time within a field width, keeping one
// character of look-ahead that goes back to the stream when unused.
struct Field {
  std::FILE* f;
  std::uint32_t left;
  int c;

  int peek() { return left ? c : EOF; }
  void take() {
    --left;
    c = left ? std::fgetc(f) : EOF;
  }
  void finish() {
    if (left && c != EOF) std::ungetc(c, f);
  }
};

Field open_field(std::FILE* f, std::uint32_t width) {
  Field fd{f, width ? width : 0xffffffffu, EOF};
  fd.c = std::fgetc(f);
  return fd;
}

// %d %i %u %x %o: optional sign, base prefix for %i and %x, digits; the
// value wraps modulo 2^32.
ScanResult scan_integer(std::FILE* f, const Conversion& cv, std::uint32_t* out) {
  skip_space(f);
  Field fd = open_field(f, cv.width);
  if (fd.c == EOF) return INPUT_END;
  bool negative = fd.peek() == '-';
  if (fd.peek() == '-' || fd.peek() == '+') fd.take();
  int base = cv.letter == 'x' || cv.letter == 'X' ? 16 : cv.letter == 'o' ? 8 : cv.letter == 'i' ? 0 : 10;
  bool digits = false;
  if ((base == 0 || base == 16) && fd.peek() == '0') {
    fd.take();
    digits = true;
    if (fd.peek() == 'x' || fd.peek() == 'X') {
      fd.take();
      base = 16;
    } else if (base == 0) {
      base = 8;
    }
  }
  if (base == 0) base = 10;
  std::uint32_t v = 0;
  for (int d; (d = digit_value(fd.peek())) < base; fd.take()) {
    v = v * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(d);
    digits = true;
  }
  fd.finish();
  if (!digits) return MISMATCH;
  *out = negative ? 0u - v : v;
  return SCANNED;
}

// %f %e %g: sign, digits, point, digits, exponent; converted by strtod from
// a local copy of at most 63 characters.
ScanResult scan_real(std::FILE* f, const Conversion& cv, double* out) {
  skip_space(f);
  std::uint32_t width = cv.width && cv.width < 63 ? cv.width : 63;
  Field fd = open_field(f, width);
  if (fd.c == EOF) return INPUT_END;
  char text[64];
  std::size_t n = 0;
  auto keep = [&] {
    text[n++] = static_cast<char>(fd.peek());
    fd.take();
  };
  bool digits = false;
  if (fd.peek() == '-' || fd.peek() == '+') keep();
  while (digit_value(fd.peek()) < 10) keep(), digits = true;
  if (fd.peek() == '.') keep();
  while (digit_value(fd.peek()) < 10) keep(), digits = true;
  if (digits && (fd.peek() == 'e' || fd.peek() == 'E')) {
    std::size_t mantissa = n;
    keep();
    if (fd.peek() == '-' || fd.peek() == '+') keep();
    bool exponent = false;
    while (digit_value(fd.peek()) < 10) keep(), exponent = true;
    if (!exponent) n = mantissa;  // consumed, as the C library does, but not part of the number
  }
  fd.finish();
  if (!digits) return MISMATCH;
  text[n] = 0;
  *out = std::strtod(text, nullptr);
  return SCANNED;
}

// A double narrowed to float without leaving the float range.
float to_float(double d) {
  constexpr float infinity = std::numeric_limits<float>::infinity();
  if (d > FLT_MAX) return infinity;
  if (d < -FLT_MAX) return -infinity;
  return static_cast<float>(d);
}

ScanResult scan_text(std::FILE* f, const Conversion& cv, std::string* out) {
  skip_space(f);
  Field fd = open_field(f, cv.width);
  if (fd.c == EOF) return INPUT_END;
  while (fd.peek() != EOF && !space_char(fd.peek())) {
    // No block holds a word as long as the arena: a word to be assigned
    // stops there and is refused, a suppressed one is skipped unkept, so an
    // endless word (a device, a huge file) never grows memory without end.
    if (!cv.suppress) {
      if (out->size() >= ARENA_SIZE) break;
      out->push_back(static_cast<char>(fd.peek()));
    }
    fd.take();
  }
  fd.finish();
  return SCANNED;
}

// %c: exactly width characters (1 by default), white space included.
ScanResult scan_chars(std::FILE* f, const Conversion& cv, std::string* out) {
  std::uint32_t want = cv.width ? cv.width : 1;
  for (std::uint32_t i = 0; i < want; ++i) {
    int c = std::fgetc(f);
    if (c == EOF) return INPUT_END;
    out->push_back(static_cast<char>(c));
  }
  return SCANNED;
}

// Writes an integer result with the size its length modifier names.
void store_integer(Addr dst, const Conversion& cv, std::uint32_t v) {
  if (cv.length == 'H') write_u8(dst, v);
  else if (cv.length == 'h') write_u16(dst, v);
  else write_word(dst, v);
}

void store_bytes(Addr dst, const std::string& bytes, bool terminate) {
  std::uint32_t n = static_cast<std::uint32_t>(bytes.size()) + (terminate ? 1u : 0u);
  if (bytes.size() >= ARENA_SIZE || n > block_room(dst, true)) raise_error(ERR_OUT_OF_RANGE);
  std::memcpy(writable(dst, n), bytes.c_str(), n);
}

// Parses "%[*][width][hh|h|l]letter" at fmt (just after the '%'); returns
// the character after it, or null for a conversion that is not supported.
const char* parse_conversion(const char* fmt, Conversion* cv) {
  *cv = {false, 0, 0, 0};
  if (*fmt == '*') cv->suppress = true, ++fmt;
  for (; *fmt >= '0' && *fmt <= '9'; ++fmt) {
    cv->width = cv->width * 10 + static_cast<std::uint32_t>(*fmt - '0');
    if (cv->width > 0xffffffu) return nullptr;
  }
  if (fmt[0] == 'h' && fmt[1] == 'h') cv->length = 'H', fmt += 2;
  else if (*fmt == 'h' || *fmt == 'l') cv->length = *fmt++;
  cv->letter = *fmt;
  if (!cv->letter || !std::strchr("diuxXofeEgGcs", cv->letter)) return nullptr;
  if ((cv->letter == 'c' || cv->letter == 's') && cv->length) return nullptr;
  return fmt + 1;
}

// Carries out one conversion and assigns its result unless suppressed.
ScanResult convert(std::FILE* f, const Conversion& cv, Addr dst) {
  static std::string bytes;
  bytes.clear();
  ScanResult r;
  switch (cv.letter) {
    case 'c':
    case 's':
      r = cv.letter == 'c' ? scan_chars(f, cv, &bytes) : scan_text(f, cv, &bytes);
      if (r == SCANNED && !cv.suppress) store_bytes(dst, bytes, cv.letter == 's');
      return r;
    case 'f': case 'e': case 'E': case 'g': case 'G': {
      double d = 0;
      r = scan_real(f, cv, &d);
      if (r != SCANNED || cv.suppress) return r;
      if (cv.length == 'l') {
        std::memcpy(writable(dst, 8), &d, 8);
      } else {
        float x = to_float(d);
        std::memcpy(writable(dst, 4), &x, 4);
      }
      return r;
    }
    default: {
      std::uint32_t v = 0;
      r = scan_integer(f, cv, &v);
      if (r == SCANNED && !cv.suppress) store_integer(dst, cv, v);
      return r;
    }
  }
}

constexpr std::int32_t SCAN_DESTINATIONS = 8;

}  // namespace

Word builtin_fscanf(std::int32_t count, const ArgSlot* args) {
  if (count < 3) raise_error(ERR_PARAMETER);
  std::FILE* f = stream_of(args[0].value);
  if (!f) return static_cast<Word>(-1);
  const char* fmt = text_at(args[1].value);
  std::int32_t destinations = count - 2 < SCAN_DESTINATIONS ? count - 2 : SCAN_DESTINATIONS;
  std::int32_t next = 0, assigned = 0;
  bool converted = false;  // a conversion has completed: end of input no longer gives -1
  auto ended = [&](ScanResult r) { return static_cast<Word>(r == INPUT_END && !converted ? -1 : assigned); };
  while (*fmt) {
    if (space_char(static_cast<unsigned char>(*fmt))) {
      skip_space(f);
      ++fmt;
      continue;
    }
    if (*fmt != '%' || fmt[1] == '%') {
      if (*fmt == '%') skip_space(f), ++fmt;
      int c = std::fgetc(f);
      if (c == EOF) return ended(INPUT_END);
      if (c != static_cast<unsigned char>(*fmt)) {
        std::ungetc(c, f);
        return ended(MISMATCH);
      }
      ++fmt;
      continue;
    }
    Conversion cv;
    const char* after = parse_conversion(fmt + 1, &cv);
    if (!after || (!cv.suppress && next >= destinations)) break;
    ScanResult r = convert(f, cv, cv.suppress ? 0 : args[2 + next].value);
    if (r != SCANNED) return ended(r);
    converted = true;
    if (!cv.suppress) ++next, ++assigned;
    fmt = after;
  }
  return static_cast<Word>(assigned);
}

}  // namespace kelpa

// Diagnostics: "\n<path> : <message> in line <n>\n<line>\n" on the console
// stream, then the ScriptError exception. The source text is never written:
// the reported line is printed by length, so a host keeps its texts intact.
#include "interp/errors.h"

#include <cstdio>
#include <cstring>

#include "interp/sources.h"
#include "interp/state.h"

namespace kelpa {

namespace {

const char* const messages[] = {
    "syntax error",
    "no expression present",
    "equals sign expected",
    "not a variable",
    "parameter error",
    "semicolon expected",
    "unbalanced braces",
    "unbalanced brackets",
    "unbalanced parentheses",
    "braces expected",
    "parentheses expected",
    "function undefined",
    "type specifier expected",
    "too many nested function calls",
    "too many nested blocks",
    "return without call",
    "while expected",
    "closing quote expected",
    "too many variables",
    "redefinition",
    "Invalid include file",
    "out of range",
    "division by zero",
};

int line_number(const SourceEntry* src, const char* at) {
  int line = 1;
  for (const char* p = src->text; p < at; ++p) line += (*p == '\n');
  return line;
}

// Prints the trimmed line that holds `at`: leading and trailing blanks
// dropped (tabs and a carriage return kept), ended at a line feed or NUL.
void print_source_line(std::FILE* out, const SourceEntry* src, const char* at) {
  const char* begin = at;
  while (begin > src->text && begin[-1] != '\n') --begin;
  const char* text_end = src->text + src->length;
  while (begin < text_end && *begin == ' ') ++begin;
  const char* end = begin;
  while (end < text_end && *end != '\n' && *end != '\0') ++end;
  while (end > begin && end[-1] == ' ') --end;
  std::fwrite(begin, 1, static_cast<std::size_t>(end - begin), out);
  std::fputc('\n', out);
}

}  // namespace

const char* error_message(int code) {
  if (code < 1 || code > 22) return messages[0];
  return messages[code];
}

void raise_error(int code) {
  std::FILE* out = interp.out_stream ? interp.out_stream : stdout;
  const char* message = error_message(code);
  const SourceEntry* src = interp.cursor ? source_of(interp.cursor) : nullptr;
  if (!src) {
    std::fprintf(out, "\n%s", message);
  } else {
    std::fprintf(out, "\n%s : %s in line %d\n", src->path ? src->path : "(null)", message,
                 line_number(src, interp.cursor));
    print_source_line(out, src, interp.cursor);
  }
  std::fflush(out);
  interp.cursor = nullptr;
  interp.token_text[0] = 0;
  throw ScriptError{code};
}

}  // namespace kelpa

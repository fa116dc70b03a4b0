// The on-demand token scanner: next_token reads one token at `cursor` into
// `token_text`, unread_token gives it back, keyword_code looks a word up in
// keyword_table. Everything works in place on the source text; a 256-entry
// character class table keeps the per-character tests to one load.
//
// Loops and calls scan the same text again and again, so each token scanned
// is remembered in a direct-mapped cache keyed by the position the scan
// started from: its class, the position after it and its token text. A hit
// replays the scan's effects exactly; errors are never cached, so they are
// raised by a real scan. The cache is forgotten, by bumping a generation
// number, whenever the texts it could describe may change.
#include "lexer/scanner.h"

#include <strings.h>

#include <array>
#include <cstring>

#include "interp/errors.h"
#include "interp/state.h"

namespace kelpa {

const KeywordRow keyword_table[] = {
    {"void", KW_VOID},       {"cell", KW_CELL},   {"__global", KW_GLOBAL}, {"char", KW_CHAR},
    {"short", KW_SHORT},     {"int", KW_INT},     {"float", KW_FLOAT},     {"string", KW_STRING},
    {"FILE", KW_FILE},       {"region", KW_REGION}, {"if", KW_IF},        {"else", KW_ELSE},
    {"for", KW_FOR},         {"do", KW_DO},       {"while", KW_WHILE},     {"break", KW_BREAK},
    {"continue", KW_CONTINUE}, {"return", KW_RETURN}, {"", TK_END},
};

static_assert(sizeof(KeywordRow) == 32, "keyword rows are 32 bytes");

namespace {

// Character classes.
enum : unsigned char {
  CC_STOP = 1,    // ends a word or number: a delimiter or the terminating NUL
  CC_SPACE = 2,   // skipped between tokens
  CC_DIGIT = 4,   // starts a number
  CC_WORD = 8,    // starts a word
};

constexpr const char delimiters[] = " !;,.+-<>'/*%&|^~=()[]{}?:\r\n\t";

constexpr std::array<unsigned char, 256> make_classes() {
  std::array<unsigned char, 256> t{};
  t[0] = CC_STOP;
  for (const char* d = delimiters; *d; ++d) t[static_cast<unsigned char>(*d)] |= CC_STOP;
  for (unsigned char c : {' ', '\t', '\r', '\n'}) t[c] |= CC_SPACE;
  for (int c = '0'; c <= '9'; ++c) t[c] |= CC_DIGIT;
  for (int c = 'a'; c <= 'z'; ++c) t[c] |= CC_WORD;
  for (int c = 'A'; c <= 'Z'; ++c) t[c] |= CC_WORD;
  t['_'] |= CC_WORD;
  t['$'] |= CC_WORD;
  return t;
}

constexpr std::array<unsigned char, 256> char_class = make_classes();

inline unsigned char class_of(char c) { return char_class[static_cast<unsigned char>(c)]; }

inline char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr int TOKEN_MAX = static_cast<int>(sizeof(Interpreter::token_text)) - 1;

// Copies characters from `p` into token_text up to the next delimiter or
// the end of text; returns the position after the copied run. `n` is the
// number of token_text bytes already used. A run that does not fit raises
// "syntax error" with the cursor on the token's start.
[[noreturn]] void token_too_long(const char* token_start) {
  interp.token_text[0] = 0;
  interp.cursor = const_cast<char*>(token_start);
  raise_error(ERR_SYNTAX);
}

const char* copy_run(const char* p, int& n, const char* token_start) {
  char* out = interp.token_text;
  while (!(class_of(*p) & CC_STOP)) {
    if (n == TOKEN_MAX) token_too_long(token_start);
    out[n++] = *p++;
  }
  return p;
}

void set_token(int n) {
  interp.token_text[n] = 0;
  interp.token_op = interp.token_text[1];
}

// Operator tokens of one to three bytes; each returns its length.
int set_op1(char a) {
  interp.token_text[0] = a;
  set_token(1);
  return 1;
}

int set_op2(char a, char b) {
  interp.token_text[0] = a;
  interp.token_text[1] = b;
  set_token(2);
  return 2;
}

int set_op3(char a, char b, char c) {
  interp.token_text[0] = a;
  interp.token_text[1] = b;
  interp.token_text[2] = c;
  set_token(3);
  return 3;
}

// The longest operator starting at `p` (its first character is one of
// = ! < > & | + - * / % ^); returns its source length.
int scan_operator(const char* p) {
  const char c = p[0];
  const char next = p[1];
  switch (c) {
    case '<':
    case '>': {
      const char single = (c == '<') ? OP_LT : OP_GT;
      const char or_equal = (c == '<') ? OP_LE : OP_GE;
      const char shift = (c == '<') ? OP_SHL : OP_SHR;
      if (next == '=') return set_op2(or_equal, or_equal);
      if (next == c && p[2] == '=') return set_op3('=', shift, shift);
      if (next == c) return set_op2(shift, shift);
      return set_op1(single);
    }
    case '&':
    case '|': {
      const char logical = (c == '&') ? OP_AND : OP_OR;
      if (next == c) return set_op2(logical, logical);
      if (next == '=') return set_op2('=', c);
      return set_op1(c);
    }
    case '-':
      if (next == '>') return set_op2(OP_ARROW, OP_ARROW);
      if (next == '-') return set_op2(OP_DEC, OP_DEC);
      if (next == '=') return set_op2('=', '-');
      return set_op1('-');
    case '+':
      if (next == '+') return set_op2(OP_INC, OP_INC);
      if (next == '=') return set_op2('=', '+');
      return set_op1('+');
    case '=':
      if (next == '=') return set_op2(OP_EQ, OP_EQ);
      return set_op1('=');
    case '!':
      if (next == '=') return set_op2(OP_NE, OP_NE);
      return set_op1('!');
    default:  // * / % ^
      if (next == '=') return set_op2('=', c);
      return set_op1(c);
  }
}

[[noreturn]] void unclosed_literal(const char* at) {
  interp.cursor = const_cast<char*>(at);
  raise_error(ERR_CLOSING_QUOTE);
}

// A string literal starting at the opening quote `p`. Only its length is
// recorded; the evaluator decodes it from the source.
int scan_string(const char* p) {
  const char* q = p + 1;
  for (;;) {
    const char c = *q;
    if (c == '"') break;
    if (c == '\n' || c == 0) unclosed_literal(q);
    if (c == '\\') {
      // An escape takes the next character; a backslash before CR LF
      // continues the literal on the next line.
      if (q[1] == 0) unclosed_literal(q + 1);
      q += (q[1] == '\r' && q[2] == '\n') ? 3 : 2;
      continue;
    }
    ++q;
  }
  interp.literal_length = static_cast<std::int32_t>(q - p + 1);
  interp.cursor = const_cast<char*>(q + 1);
  set_op1(' ');
  return TK_STRING;
}

// A character literal: apostrophe, optional backslash, one character,
// apostrophe.
int scan_char(const char* p) {
  int n = 0;
  char* out = interp.token_text;
  out[n++] = *p++;
  if (*p == '\\') out[n++] = *p++;
  if (*p == 0) unclosed_literal(p);
  out[n++] = *p++;
  if (*p != '\'') unclosed_literal(p);
  out[n++] = *p++;
  set_token(n);
  interp.cursor = const_cast<char*>(p);
  return TK_CHAR;
}

// True when `p` starts "#include" in any letter case.
bool at_include(const char* p) {
  static constexpr char directive[] = "#include";
  for (int i = 0; i < 8; ++i) {
    if (lower(p[i]) != directive[i]) return false;  // a NUL mismatches and stops
  }
  return true;
}

// Skips the comment at `p` ("//" or "/*"); returns the position after it.
const char* skip_comment(const char* p) {
  if (p[1] == '/') {
    p += 2;
    while (*p && *p != '\n') ++p;
    return *p ? p + 1 : p;
  }
  p += 2;
  while (*p && !(p[0] == '*' && p[1] == '/')) ++p;
  return *p ? p + 2 : p;
}

int scan_number(const char* p) {
  int n = 0;
  const char* end = copy_run(p, n, p);
  int cls = TK_INT;
  if (*end == '.') {
    if (n == TOKEN_MAX) token_too_long(p);
    interp.token_text[n++] = '.';
    end = copy_run(end + 1, n, p);
    cls = TK_REAL;
  }
  set_token(n);
  interp.cursor = const_cast<char*>(end);
  return cls;
}

int scan_word(const char* p) {
  int n = 0;
  const char* end = copy_run(p, n, p);
  set_token(n);
  interp.cursor = const_cast<char*>(end);
  const int code = keyword_code(interp.token_text);
  return code < 0 ? TK_IDENT : code;
}

// One remembered scan: the token that starts at `from` (comments and
// blanks before it included) and everything next_token leaves behind.
struct CachedToken {
  const char* from;             // the start position
  const char* end;              // cursor after the token
  std::uint32_t hash;           // token_hash
  std::int32_t literal_length;  // string literals only
  std::uint32_t generation;     // cache_generation when it was remembered
  std::int32_t length;          // token_length
  std::uint8_t cls;
  char op;                      // token_op
  bool short_text;              // token_text fits the first 16 bytes
  char padding[24];             // a slot of 128 bytes is indexed by a shift
  char text[64];
};

static_assert(sizeof(CachedToken) == 128, "token cache slots are 128 bytes");

constexpr std::uintptr_t CACHE_SLOTS = 4096;
CachedToken token_cache[CACHE_SLOTS];

// Bumped to forget every remembered scan at once; slots of an older
// generation never match.
std::uint32_t cache_generation = 1;

inline CachedToken& cache_slot(const char* p) {
  return token_cache[reinterpret_cast<std::uintptr_t>(p) & (CACHE_SLOTS - 1)];
}

int scan_token(const char* p);

}  // namespace

void forget_tokens() {
  if (++cache_generation == 0) {
    for (CachedToken& t : token_cache) t.from = nullptr;
    cache_generation = 1;
  }
}

std::uint32_t name_hash(const char* name) {
  std::uint32_t h = 2166136261u;
  for (; *name; ++name) h = (h ^ static_cast<unsigned char>(lower(*name))) * 16777619u;
  return h | 1u;  // never 0, which stands for "no hash"
}

int keyword_code(const char* word) {
  const char first = lower(word[0]);
  if (first == 0) return -1;
  for (const KeywordRow* row = keyword_table; row->name[0]; ++row) {
    if (lower(row->name[0]) == first && strcasecmp(row->name, word) == 0) return row->code;
  }
  return -1;
}

namespace {

// A scan that missed the cache: scans and remembers the result.
[[gnu::noinline]] int scan_and_remember(const char* p, CachedToken& t) {
  const int cls = scan_token(p);
  interp.token_hash = cls == TK_IDENT ? name_hash(interp.token_text) : 0;
  t.from = p;
  t.generation = cache_generation;
  t.end = interp.cursor;
  t.hash = interp.token_hash;
  t.literal_length = interp.literal_length;
  t.cls = static_cast<std::uint8_t>(cls);
  t.op = interp.token_op;
  const std::size_t text_length = std::strlen(interp.token_text);
  t.short_text = text_length < 16;
  // The token's own characters in the source: a string literal's text is
  // only a marker, every other token's text has its source length.
  interp.token_length = cls == TK_STRING ? interp.literal_length : static_cast<std::int32_t>(text_length);
  t.length = interp.token_length;
  std::memcpy(t.text, interp.token_text, sizeof t.text);
  return cls;
}

[[gnu::noinline]] int end_of_execution() {
  interp.token_text[0] = 0;
  interp.token_op = 0;
  interp.token_length = 0;
  interp.token_hash = 0;
  return TK_END;
}

}  // namespace

int next_token() {
  const char* p = interp.cursor;
  if (!p) return end_of_execution();
  CachedToken& t = cache_slot(p);
  if (t.from != p || t.generation != cache_generation) return scan_and_remember(p, t);
  // Everything is read from the slot before anything is written to the
  // interpreter, so the slot's address is computed once.
  const int cls = t.cls;
  const char op = t.op;
  const std::int32_t length = t.length;
  const std::uint32_t hash = t.hash;
  const std::int32_t literal_length = t.literal_length;
  const char* end = t.end;
  const bool short_text = t.short_text;
  std::memcpy(interp.token_text, t.text, 16);
  if (!short_text) std::memcpy(interp.token_text + 16, t.text + 16, sizeof t.text - 16);
  interp.token_op = op;
  interp.token_length = length;
  interp.token_hash = hash;
  if (cls == TK_STRING) interp.literal_length = literal_length;
  interp.cursor = const_cast<char*>(end);
  return cls;
}

namespace {

// The scan itself, from `p` (not null).
int scan_token(const char* p) {
  for (;;) {
    while (class_of(*p) & CC_SPACE) ++p;
    const unsigned char cls = class_of(*p);
    if (cls & CC_DIGIT) return scan_number(p);
    if (cls & CC_WORD) return scan_word(p);
    switch (*p) {
      case 0:
        interp.cursor = const_cast<char*>(p);
        interp.token_text[0] = 0;
        interp.token_op = 0;
        return TK_END;
      case '"':
        return scan_string(p);
      case '\'':
        return scan_char(p);
      case '/':
        if (p[1] == '/' || p[1] == '*') {
          p = skip_comment(p);
          continue;
        }
        break;
      case '#':
        if (at_include(p)) {
          std::memcpy(interp.token_text, "#include", 9);
          interp.token_op = 'i';
          interp.cursor = const_cast<char*>(p + 8);
          return TK_INCLUDE;
        }
        set_op1('#');
        interp.cursor = const_cast<char*>(p + 1);
        return TK_OP;
      case '{':
      case '}':
        set_op1(*p);
        interp.cursor = const_cast<char*>(p + 1);
        return TK_BRACE;
      default:
        break;
    }
    switch (*p) {
      case '=': case '!': case '<': case '>': case '&': case '|':
      case '+': case '-': case '*': case '/': case '%': case '^':
        interp.cursor = const_cast<char*>(p + scan_operator(p));
        return TK_OP;
      default:
        set_op1(*p);
        interp.cursor = const_cast<char*>(p + 1);
        return TK_OP;
    }
  }
}

}  // namespace

void unread_token() {
  if (interp.cursor) interp.cursor -= interp.token_length;
}

}  // namespace kelpa

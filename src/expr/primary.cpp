// Primary expressions: names (constants, builtin and script calls,
// variables with assignment and postfix steps), initializer lists and the
// literals. String literals are decoded into a fresh arena copy at each
// evaluation, with escapes, line continuation and {$name} interpolation.
#include <cstdint>
#include <cstdio>
#include <limits>

#include "exec/exec.h"
#include "expr/eval.h"
#include "interp/errors.h"
#include "lexer/numbers.h"
#include "lexer/scanner.h"
#include "storage/address_space.h"
#include "storage/assignment.h"
#include "storage/types.h"
#include "storage/var_table.h"

namespace kelpa {

namespace {

constexpr int ARG_LIMIT = 32;          // most arguments of one builtin call
constexpr int INTERPOLATION_NAME = 63; // longest name inside {$...}

inline char current_op() { return interp.token_text[0]; }


[[gnu::noinline]] void call_builtin(Word* slot, const VarEntry* fn) {
  if (next_token() != TK_OP || current_op() != '(') raise_error(ERR_PARENTHESES_EXPECTED);
  ArgSlot args[ARG_LIMIT];
  std::int32_t count = 0;
  do {
    Word value = eval_to_delimiter();
    if (interp.expr_type != 0) args[count++] = ArgSlot{value, interp.expr_type};
  } while (current_op() == ',' && count < ARG_LIMIT);
  if (current_op() != ')') raise_error(ERR_PARENTHESES);
  if (interp.cursor) {
    if (!fn->routine) raise_error(ERR_FUNCTION_UNDEFINED);
    *slot = fn->routine(count, args);
  }
  next_token();
  interp.expr_type = fn->type;
}

[[gnu::noinline]] void call_function(Word* slot, VarEntry* fn) {
  std::int32_t base = interp.var_count;
  std::int32_t count = push_arguments();
  if (interp.cursor) *slot = call_script_function(fn, interp.cursor, base, count);
  next_token();
  interp.expr_type = fn->type;
}

// A variable reference: optional element access, then assignment, compound
// assignment or a read with an optional postfix step.
void use_variable(Word* slot, VarEntry* var) {
  VarEntry elem;
  VarEntry* target = var;
  next_token();
  char c = current_op();
  if (c == '[' || c == '.' || c == OP_ARROW) {
    elem = VarEntry{};
    target = access_element(var, &elem);
  }
  interp.last_address = target == var ? var_address(var_index(var)) : target->value;
  TypeWord type = target->type;
  if (current_op() == '=') {
    char op = interp.token_op;
    eval_from_token(slot, next_token());
    if (op == 0) store_value(target, *slot, interp.expr_type);
    else compound_assign(target, *slot, interp.expr_type, op);
    // The right-hand value is passed on in the variable's type.
    if (interp.expr_type != type) *slot = convert_value(*slot, interp.expr_type, type);
  } else {
    *slot = read_reference(target);
    if (current_op() == OP_INC || current_op() == OP_DEC) {
      compound_assign(target, 1, T_INT, current_op() == OP_INC ? '+' : '-');
      next_token();
    }
  }
  interp.expr_type = type;
}

void eval_name(Word* slot) {
  VarEntry* e = find_name(interp.token_text);
  if (!e) {
    next_token();
    raise_error(current_op() == '(' ? ERR_FUNCTION_UNDEFINED : ERR_NOT_VARIABLE);
  }
  switch (e->size) {
    case KIND_CONSTANT:
      *slot = e->value;
      next_token();
      interp.expr_type = e->type;
      return;
    case KIND_BUILTIN:
      call_builtin(slot, e);
      return;
    case KIND_FUNCTION:
      call_function(slot, e);
      return;
    default:
      use_variable(slot, e);
      return;
  }
}

Word char_literal_value() {
  char c = interp.token_op;
  if (c == '\\') {
    switch (interp.token_text[2]) {
      case '0': return 0;
      case 'n': return 10;
      case 'r': return 13;
      case 't': return 9;
      default: c = interp.token_text[2]; break;
    }
  }
  return static_cast<Word>(static_cast<std::int32_t>(static_cast<signed char>(c)));
}

[[gnu::noinline]] Word real_literal_value() {
  double d = parse_real_literal(interp.token_text);
  constexpr double largest = std::numeric_limits<float>::max();
  if (d > largest) return float_bits(std::numeric_limits<float>::infinity());
  if (d < -largest) return float_bits(-std::numeric_limits<float>::infinity());
  return float_bits(static_cast<float>(d));
}

// The decoded text of a string literal, written into the arena with every
// byte checked against the room left there.
struct ArenaText {
  std::uint8_t* out;
  std::uint32_t room;
  std::uint32_t length;

  void put(char c) {
    if (length >= room) raise_error(ERR_OUT_OF_RANGE);
    out[length++] = static_cast<std::uint8_t>(c);
  }
  void put_bytes(const char* s, std::uint32_t n) {
    for (std::uint32_t i = 0; i < n; ++i) put(s[i]);
  }
};

// Inserts the current value of a variable named in {$name}.
void put_variable(ArenaText* text, const VarEntry* var) {
  if (var->type == T_CHAR || var->type == T_STRING) {
    if (var->size == 0) {
      text->put(static_cast<char>(var->value & 0xffu));
      return;
    }
    std::uint32_t limit = static_cast<std::uint32_t>(var->size);
    std::uint32_t room = block_room(var->value, false);
    if (limit > room) limit = room;
    const char* s = reinterpret_cast<const char*>(readable(var->value, limit));
    for (std::uint32_t i = 0; i < limit && s[i] != 0; ++i) text->put(s[i]);
    return;
  }
  char number[16];
  int n = std::snprintf(number, sizeof number, "%d", static_cast<std::int32_t>(var->value));
  text->put_bytes(number, static_cast<std::uint32_t>(n));
}

// At "{$": when a variable name of 1 to 63 characters closed by "}" follows
// within the literal, inserts its value and returns the input after the
// "}"; otherwise returns null and the "{" is copied as it stands.
const char* interpolate(ArenaText* text, const char* in, const char* end) {
  const char* name = in + 2;
  std::int32_t n = 0;
  while (name + n < end && name[n] != '}' && n < INTERPOLATION_NAME) ++n;
  if (n == 0 || name + n >= end || name[n] != '}') return nullptr;
  char buffer[INTERPOLATION_NAME + 1];
  for (std::int32_t i = 0; i < n; ++i) buffer[i] = name[i];
  buffer[n] = 0;
  const VarEntry* var = find_variable(buffer);
  if (!var) return nullptr;
  put_variable(text, var);
  return name + n + 1;
}

// One escape: the input is at the backslash, which is followed by at least
// one character before `end`. Returns the input after the escape.
const char* put_escape(ArenaText* text, const char* in) {
  char c = in[1];
  switch (c) {
    case '\n': return in + 2;  // line continuation
    case '\r':
      if (in[2] == '\n') return in + 3;
      text->put('\r');
      return in + 2;
    case 'n': text->put('\n'); return in + 2;
    case 'r': text->put('\r'); return in + 2;
    case 't': text->put('\t'); return in + 2;
    default: text->put(c); return in + 2;
  }
}

[[gnu::noinline]] Word string_literal_value() {
  Addr start = arena_aligned_top();
  std::uint32_t room = block_room(start, true);
  ArenaText text{writable(start, room), room, 0};
  const char* in = interp.cursor - interp.literal_length + 1;
  const char* end = interp.cursor - 1;  // the closing quote
  while (in < end) {
    if (*in == '\\' && in + 1 < end) {
      in = put_escape(&text, in);
      continue;
    }
    if (*in == '{' && in + 1 < end && in[1] == '$') {
      if (const char* after = interpolate(&text, in, end)) {
        in = after;
        continue;
      }
    }
    text.put(*in++);
  }
  text.put(0);
  interp.arena_top = start + text.length;
  return start;
}

}  // namespace

Word read_reference(const VarEntry* e) {
  if (e->size <= 0) return e->value;
  switch (e->type) {
    case T_CHAR: return static_cast<Word>(read_i8(e->value));
    case T_SHORT: return static_cast<Word>(read_i16(e->value));
    case T_INT: case T_FLOAT: return read_word(e->value);
    default: break;
  }
  if (dims(e->type) == 0 && ptr_depth(e->type) != 0 && e->size == 4) return read_word(e->value);
  return e->value;
}

namespace {

// A literal's value, decoded from the current token, then the token after it.
void take_literal(Word* slot, Word value, TypeWord type) {
  *slot = value;
  next_token();
  interp.expr_type = type;
}

}  // namespace

void eval_primary(Word* slot, int cls) {
  switch (cls) {
    case TK_IDENT:
      eval_name(slot);
      return;
    case TK_BRACE:
      if (current_op() == '{') {
        eval_initializer_list(slot);
        interp.expr_type = T_LIST;
        return;
      }
      break;
    case TK_INT:
      take_literal(slot, static_cast<Word>(parse_int_literal(interp.token_text)), T_INT);
      return;
    case TK_REAL:
      take_literal(slot, real_literal_value(), T_FLOAT);
      return;
    case TK_CHAR:
      take_literal(slot, char_literal_value(), T_CHAR);
      return;
    case TK_STRING:
      take_literal(slot, string_literal_value(), T_STRING);
      return;
    default:
      break;
  }
  *slot = 0;
  interp.expr_type = 0;
}

}  // namespace kelpa

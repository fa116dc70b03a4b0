// The one process-wide interpreter state.
//
// Every subsystem reads and writes these fields directly: the scanner moves
// `cursor` and fills `token_text`, the evaluator leaves the type of each value
// in `expr_type`, declarations bump `arena_top`, blocks and calls save and
// restore `var_count` and `arena_top`. Script-visible values are 32-bit words;
// addresses among them are script addresses resolved by the address space
// (storage/address_space.h), never host pointers.
#ifndef KELPA_INTERP_STATE_H
#define KELPA_INTERP_STATE_H

#include <cstdint>
#include <cstdio>

#include "interp/errors.h"
#include "kelpa/kelpa.h"

namespace kelpa {

using Addr = std::uint32_t;  // a script address; 0 is null
using BuiltinFn = Word (*)(std::int32_t count, const ArgSlot* args);

constexpr int VAR_LIMIT = 1024;     // entries of var_table
constexpr int BLOCK_LIMIT = 80;     // block_stack pairs; 79 blocks may be open
constexpr int CALL_LIMIT = 200;     // nested script calls
constexpr int SOURCE_LIMIT = 16;    // registered sources
constexpr int NAME_SIZE = 64;       // a name keeps every character the scanner reads
constexpr int NAME_BUCKETS = 1024;  // heads of the name chains (a power of two)

// Kinds held in VarEntry::size besides a positive storage size.
constexpr std::int32_t KIND_FUNCTION = -1;
constexpr std::int32_t KIND_BUILTIN = -2;
constexpr std::int32_t KIND_CONSTANT = -3;

// One record of the variable table: constants, builtins, functions, globals,
// parameters, locals and pending call arguments alike.
struct VarEntry {
  char name[NAME_SIZE];   // as written; empty for unnamed entries
  TypeWord type;          // variable type, or a function's return type
  Word value;             // inline value, storage address, or constant value
  std::int32_t size;      // KIND_*, 0 inline, > 0 storage size in bytes
  char* position;         // user function: just after the '(' of its parameter list
  BuiltinFn routine;      // builtin: its routine
  Addr heap;              // heap storage owned by this entry (grown strings), or 0
  Word return_word;       // the return slot when this entry is a call's frame base
  std::uint32_t name_hash;  // folded hash of name while linked in a name chain, else 0
  std::int32_t name_chain;  // next older linked entry with the same bucket, or -1
};

struct BlockMark {
  std::int32_t var_count;
  Addr arena_top;
};

struct SourceEntry {
  char* path;             // full path, or null for a source from memory
  char* text;             // NUL-terminated text
  std::int32_t length;    // bytes of text, the NUL not counted
  std::int32_t prescanned;
};

struct Interpreter {
  char* cursor;                   // next unread character; null: execution stopped
  char token_text[64];
  char token_op;
  std::int32_t literal_length;
  std::int32_t token_length;      // source characters of the current token (for unread_token)
  std::uint32_t token_hash;       // name_hash of an identifier token, else 0
  TypeWord expr_type;

  std::uint8_t* data_arena;       // host memory behind the arena block
  Addr arena_top;                 // script address of the first free arena byte

  VarEntry* var_table;
  std::int32_t var_count;
  std::int32_t name_heads[NAME_BUCKETS];  // newest linked entry per bucket, or -1
  BlockMark block_stack[BLOCK_LIMIT];
  std::int32_t block_depth;
  std::int32_t call_stack[CALL_LIMIT + 1];
  std::int32_t call_depth;

  SourceEntry* source_table[SOURCE_LIMIT];
  std::int32_t source_count;

  Addr last_address;              // operand of unary '&'
  std::int32_t interp_state;      // 0 none, 1 initialised, 3 prescanned
  std::FILE* out_stream;
  std::FILE* in_stream;
  std::int32_t param_count;
  const char* const* param_vector;

  std::int32_t nesting;           // evaluator and statement recursion depth
  std::uint32_t steps;            // statements executed (counted in fuzz builds only)
};

extern Interpreter interp;

// Host recursion bound for nested expressions and unbraced statements.
constexpr std::int32_t NESTING_LIMIT = 1000;

void init_interpreter();

// Raises "too many nested blocks" when the host recursion bound is reached;
// pair every call with leave_nesting().
[[noreturn]] void nesting_too_deep();
inline void enter_nesting() {
  if (interp.nesting >= NESTING_LIMIT) nesting_too_deep();
  ++interp.nesting;
}
inline void leave_nesting() { --interp.nesting; }

// Fuzz builds give every run a budget of executed statements, so that an
// endless loop ends with "out of range" instead of hanging the fuzzer. Every
// loop iteration and every call body runs at least one statement.
#ifdef KELPA_FUZZ
constexpr std::uint32_t STEP_BUDGET = 50000;
inline void count_step() {
  if (++interp.steps > STEP_BUDGET) raise_error(ERR_OUT_OF_RANGE);
}
#else
inline void count_step() {}
#endif

}  // namespace kelpa

#endif

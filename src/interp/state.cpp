// The interpreter state: start-up, release, and the call-by-name entry.
#include "interp/state.h"

#include <cstdlib>
#include <cstring>

#include "builtins/builtins.h"
#include "exec/exec.h"
#include "interp/errors.h"
#include "interp/prescan.h"
#include "interp/sources.h"
#include "lexer/scanner.h"
#include "storage/address_space.h"
#include "storage/var_table.h"

namespace kelpa {

Interpreter interp;

namespace {
std::FILE* console_out = nullptr;  // null: standard output
std::FILE* console_in = nullptr;   // null: standard input
}  // namespace

void set_console(std::FILE* out, std::FILE* in) {
  console_out = out;
  console_in = in;
  if (interp.interp_state != 0) {
    interp.out_stream = out ? out : stdout;
    interp.in_stream = in ? in : stdin;
  }
}

void nesting_too_deep() { raise_error(ERR_TOO_MANY_BLOCKS); }

void init_interpreter() {
  if (interp.interp_state != 0) return;
  interp.out_stream = console_out ? console_out : stdout;
  interp.in_stream = console_in ? console_in : stdin;
  interp.data_arena = static_cast<std::uint8_t*>(std::calloc(ARENA_SIZE, 1));
  interp.var_table = static_cast<VarEntry*>(std::calloc(VAR_LIMIT, sizeof(VarEntry)));
  if (!interp.data_arena || !interp.var_table) {
    std::fputs("Allocation Failure!", interp.out_stream);
    std::fflush(interp.out_stream);
    std::exit(-1);
  }
  interp.cursor = nullptr;
  interp.arena_top = ARENA_BASE;
  interp.var_count = 0;
  reset_names();
  forget_tokens();
  interp.call_depth = 0;
  interp.call_stack[0] = 0;
  interp.source_count = 0;
  // A script error unwinds by exception without closing its blocks; a fresh
  // interpreter starts with none open.
  interp.block_depth = 0;
  interp.nesting = 0;
  interp.steps = 0;
  interp.last_address = 0;
  interp.expr_type = 0;
  interp.token_text[0] = 0;
  interp.token_op = 0;
  interp.token_length = 0;
  interp.token_hash = 0;
  register_library();
  interp.interp_state = 1;
}

void release_interpreter() {
  if (!interp.data_arena) return;
  for (int i = 0; i < VAR_LIMIT; ++i) drop_storage(&interp.var_table[i]);
  heap_release_all();
  close_all_streams();
  release_sources();
  std::free(interp.var_table);
  interp.var_table = nullptr;
  std::free(interp.data_arena);
  interp.data_arena = nullptr;
  interp.cursor = nullptr;
  interp.interp_state = 0;
}

Word run_function(const char* name, std::int32_t count, const ArgSlot* args) {
  if (interp.interp_state == 0) init_interpreter();
  if (interp.interp_state < 3) prescan();
  // Only hosts call this, and a host may change a text it lent without
  // copying between runs.
  forget_tokens();
  if (VarEntry* fn = find_entry(name, KIND_FUNCTION)) {
    std::int32_t base = interp.var_count;
    for (std::int32_t i = 0; i < count; ++i) {
      VarEntry* e = alloc_var();
      e->value = args[i].value;
      e->type = args[i].type;
    }
    return call_script_function(fn, interp.cursor, base, count);
  }
  if (VarEntry* b = find_entry(name, KIND_BUILTIN)) {
    static const ArgSlot none{0, 0};
    return b->routine(count, count > 0 ? args : &none);
  }
  raise_error(ERR_FUNCTION_UNDEFINED);
}

}  // namespace kelpa

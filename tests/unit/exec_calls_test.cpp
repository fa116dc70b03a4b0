// Calls of script functions and the prescan, seen from the interpreter
// state: frames leave the table as they found it, bound parameters survive
// calls made by later defaults, the table's end is respected, and cells
// patch their text.
#include <gtest/gtest.h>

#include <string>

#include "exec/exec.h"
#include "harness.h"
#include "interp/errors.h"
#include "interp/prescan.h"
#include "storage/assignment.h"
#include "storage/types.h"
#include "storage/var_table.h"

namespace kelpa {
namespace {

class ExecCalls : public test::FreshInterpreter {
 protected:
  void load(const std::string& text) {
    test::load_text(text);
    prescan();
  }
  Word call(const char* name, std::initializer_list<ArgSlot> args) {
    return run_function(name, static_cast<std::int32_t>(args.size()), args.begin());
  }
  // Fills the table up to `free_from` entries, then calls f and g; gives the error raised.
  int error_filling_to(std::int32_t free_from) {
    load("void f() { }\nint g(int a = 1, int b = 2) { return a + b; }\n");
    while (interp.var_count < free_from) alloc_var();
    try {
      call("f", {});
      call("g", {});
    } catch (const ScriptError& e) {
      return e.code;
    }
    return -1;
  }

};

TEST_F(ExecCalls, CallsLeaveTheTableAsTheyFoundIt) {
  load("int add(int a, int b) { int t = a + b; return t; }\nvoid nothing() { int junk = 5; }\n");
  std::int32_t count = interp.var_count;
  Addr top = interp.arena_top;
  // A float argument is converted to the int parameter.
  EXPECT_EQ(call("add", {{float_bits(2.75f), T_FLOAT}, {3, T_INT}}), 5u);
  EXPECT_EQ(interp.var_count, count);
  EXPECT_EQ(interp.arena_top, top);
  // A void function ending without return yields 0, not a stale word.
  EXPECT_EQ(call("nothing", {}), 0u);
}

TEST_F(ExecCalls, DefaultsCallingFunctionsKeepBoundParameters) {
  load(
      "int id(int v) { int junk = 99; return v; }\n"
      "int f(int a, int b = id(7), int c = id(b + 1)) { return a * 100 + b * 10 + c; }\n");
  EXPECT_EQ(call("f", {{1, T_INT}}), 178u);
  EXPECT_EQ(call("f", {{1, T_INT}, {2, T_INT}}), 123u);
}

TEST_F(ExecCalls, FramesStayInsideTheTable) {
  EXPECT_EQ(error_filling_to(VAR_LIMIT), ERR_TOO_MANY_VARIABLES);
  // A frame base at the last entry is fine; g's second parameter needs one more.
  EXPECT_EQ(error_filling_to(VAR_LIMIT - 1), ERR_TOO_MANY_VARIABLES);
  EXPECT_EQ(error_filling_to(VAR_LIMIT - 2), -1);
}

TEST_F(ExecCalls, CellsArePatchedAcrossLineEnds) {
  load("int x = 1;\ncell pad\r\n\n{ x = 7; }\n");
  EXPECT_EQ(std::string(interp.source_table[0]->text + 11), "cell pad)\n\n{ x = 7; }\n");
  EXPECT_EQ(find_entry("cell_PAD", KIND_FUNCTION)->type, T_VOID);
  call("cell_pad", {});
  EXPECT_EQ(find_name("x")->value, 7u);
}

}  // namespace
}  // namespace kelpa

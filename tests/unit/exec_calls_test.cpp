// Calls of script functions and the prescan, seen from the interpreter
// state: frames leave the table as they found it, bound parameters survive
// calls made by later defaults, the table's end is respected, a return at
// the outermost level changes no name, and cells patch their text.
#include <gtest/gtest.h>

#include <cstring>
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

class ExecCalls : public ::testing::Test {
 protected:
  void TearDown() override { release_interpreter(); }

  // Loads and prescans `text`.
  void load(const std::string& text) {
    test::load_text(text);
    prescan();
  }
  Word call(const char* name, std::initializer_list<ArgSlot> args) {
    return run_function(name, static_cast<std::int32_t>(args.size()), args.begin());
  }
  int error_of(void (*fn)()) {
    try {
      fn();
    } catch (const ScriptError& e) {
      return e.code;
    }
    return -1;
  }

  test::Console console_;
};

TEST_F(ExecCalls, CallsLeaveTheTableAsTheyFoundIt) {
  load(
      "int add(int a, int b) { int t = a + b; return t; }\n"
      "float tiny() { return 1; }\n"
      "void nothing() { int junk = 5; }\n");
  std::int32_t count = interp.var_count;
  Addr top = interp.arena_top;
  EXPECT_EQ(call("add", {{2, T_INT}, {3, T_INT}}), 5u);
  EXPECT_EQ(interp.var_count, count);
  EXPECT_EQ(interp.call_depth, 0);
  EXPECT_EQ(interp.block_depth, 0);
  EXPECT_EQ(interp.arena_top, top);
  // The returned word is not converted to the declared type.
  EXPECT_EQ(call("tiny", {}), 1u);
  // A float argument is converted to the int parameter.
  EXPECT_EQ(call("add", {{float_bits(2.75f), T_FLOAT}, {1, T_INT}}), 3u);
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
  load("void f() { }\nint g(int a = 1, int b = 2) { return a + b; }\n");
  EXPECT_EQ(error_of([] {
              while (interp.var_count < VAR_LIMIT) alloc_var();
              call_script_function(find_entry("f", KIND_FUNCTION), interp.cursor, interp.var_count, 0);
            }),
            ERR_TOO_MANY_VARIABLES);
  load("void f() { }\nint g(int a = 1, int b = 2) { return a + b; }\n");
  EXPECT_EQ(error_of([] {
              while (interp.var_count < VAR_LIMIT - 1) alloc_var();
              run_function("f", 0, nullptr);  // a frame base at the last entry is fine
              run_function("g", 0, nullptr);  // its second parameter needs one entry more
            }),
            ERR_TOO_MANY_VARIABLES);
}

TEST_F(ExecCalls, ReturnAtTheOutermostLevelChangesNoName) {
  load("int g = 1;\n__global { return 77; g = 2; }\n");
  EXPECT_STREQ(interp.var_table[0].name, "NULL");
  ASSERT_NE(find_name("null"), nullptr);
  EXPECT_EQ(find_name("g")->value, 2u);
  EXPECT_EQ(interp.interp_state, 3);
}

TEST_F(ExecCalls, PrescanDeclaresPatchesCellsAndSkipsStatements) {
  load("int x = 1;\nx = 5;\ncell pad\r\n\n{ x = 7; }\ncell tight{ }\n");
  EXPECT_EQ(find_name("x")->value, 1u);  // top-level statements never run
  const char* text = interp.source_table[0]->text;
  EXPECT_EQ(std::string(text + 11), "x = 5;\ncell pad)\n\n{ x = 7; }\ncell tigh){ }\n");
  VarEntry* pad = find_entry("cell_PAD", KIND_FUNCTION);
  ASSERT_NE(pad, nullptr);
  EXPECT_EQ(pad->type, T_VOID);
  EXPECT_EQ(*pad->position, ')');
  EXPECT_STREQ(find_entry("CELL_tight", KIND_FUNCTION)->name, "CELL_tight");
  EXPECT_EQ(interp.source_table[0]->prescanned, 1);
  call("cell_pad", {});
  EXPECT_EQ(find_name("x")->value, 7u);
}

}  // namespace
}  // namespace kelpa

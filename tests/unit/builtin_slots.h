// Helpers for the tests that call builtins and storage functions directly:
// a fresh interpreter per test, argument slots over arena texts, and the
// error code a call raises.
#ifndef KELPA_TESTS_BUILTIN_SLOTS_H
#define KELPA_TESTS_BUILTIN_SLOTS_H

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "builtins/builtins.h"
#include "harness.h"
#include "interp/errors.h"
#include "storage/address_space.h"
#include "storage/assignment.h"
#include "storage/types.h"

namespace kelpa::test {

// The error code `fn` raises, or -1 when it returns.
inline int raised(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const ScriptError& e) {
    return e.code;
  }
  return -1;
}

// A NUL-terminated copy of `text` in the arena, four-byte aligned.
inline Addr put(const std::string& text) {
  std::uint32_t n = static_cast<std::uint32_t>(text.size()) + 1;
  Addr a = arena_alloc(n, 4);
  std::memcpy(writable(a, n), text.c_str(), n);
  return a;
}
inline ArgSlot str(const std::string& text) { return {put(text), T_STRING}; }
inline ArgSlot num(std::int32_t v) { return {static_cast<Word>(v), T_INT}; }
inline std::int32_t sig(Word w) { return static_cast<std::int32_t>(w); }

// `n` bytes at the very end of the arena holding `bytes`, without a NUL.
inline Addr arena_tail(const char* bytes, std::uint32_t n) {
  Addr tail = ARENA_BASE + ARENA_SIZE - n;
  std::memcpy(writable(tail, n), bytes, n);
  return tail;
}

// An interpreter over an empty script, its console captured.
class FreshInterpreter : public ::testing::Test {
 protected:
  void SetUp() override { load_text("void main() {}"); }
  void TearDown() override { release_interpreter(); }
  Console console_;
};

}  // namespace kelpa::test

#endif

// kelpa — host interface of the embeddable interpreter.
//
// One interpreter lives per process. A host loads one or more sources, may
// install a parameter list, calls script functions or builtins by name and
// finally releases everything. All calls come from one thread.
//
// Errors: a script error is printed on the console output stream (the
// system's diagnostic: path, message, line and source line) and then thrown
// as kelpa::ScriptError; the builtin `exit` throws kelpa::ScriptExit with the
// script's status. After either, the host should call release_interpreter()
// before loading and running anything again.
#ifndef KELPA_KELPA_H
#define KELPA_KELPA_H

#include <cstdint>
#include <cstdio>

namespace kelpa {

// A value word: a signed 32-bit integer, the bits of a 32-bit float, or a
// script address. TypeWord: base type (bits 0..7), array dimensions (8..15),
// pointer depth (16..23), cast marker (bit 31).
using Word = std::uint32_t;
using TypeWord = std::uint32_t;

// One argument of a call: its value word and its type word (3 int, 4 float,
// 5 string, ...). A string argument's value is a script address; hosts pass
// numbers, and texts obtained from earlier results.
struct ArgSlot {
  Word value;
  TypeWord type;
};

// Thrown after a script error has been reported; `code` is the error number.
struct ScriptError {
  int code;
};

// Thrown by the builtin `exit`; `status` is the script's exit status.
struct ScriptExit {
  int status;
};

// Loads a script file (resolved to a full path; a file already loaded,
// under any spelling of the same path, is not loaded twice). Returns 1 when
// the file is registered, 0 when it was refused (unreadable, 16 sources
// already loaded, no memory). Initialises the interpreter on first use.
std::int32_t load_source_file(const char* path);

// Registers a text held in memory. With copy non-zero the interpreter keeps
// its own copy; with copy 0 the text must be NUL-terminated at `length`,
// must stay valid until release_interpreter() and may be written by the
// prescan (cell definitions patch one character). Returns 1 or 0.
std::int32_t add_source_buffer(char* text, std::int32_t length, std::int32_t copy);

// Installs the parameter list that GetParamCount, GetParamStr and
// GetParamInt read. The list is not copied: the host keeps the array and its
// texts alive and unchanged while scripts may read them. It survives
// release_interpreter().
void set_parameters(std::int32_t count, const char* const* vector);

// Calls a script function (first) or a builtin (else) by name, ignoring
// letter case. The first call prescans every loaded source. Returns the
// function's result word. Throws ScriptError ("function undefined" when no
// such function exists) or ScriptExit.
Word run_function(const char* name, std::int32_t count, const ArgSlot* args);

// Index of the script function `name` in the variable table, or -1.
std::int32_t function_index(const char* name);

// Releases every source, the data arena, the variable table, grown strings
// and streams left open by scripts. Safe to call twice.
void release_interpreter();

// Streams used for script console output (printf, putch, diagnostics) and
// input (getch) from the next initialisation on; null restores stdout/stdin.
void set_console(std::FILE* out, std::FILE* in);

}  // namespace kelpa

#endif

// kelpa — host interface of the embeddable interpreter.
//
// One interpreter lives per process and every call comes from one thread.
// A host typically:
//
//   kelpa::load_source_file("script.kel");          // or add_source_buffer
//   kelpa::set_parameters(argc, argv);              // optional
//   try {
//     kelpa::ArgSlot args[] = {{42, 3}};            // the int 42
//     kelpa::Word r = kelpa::run_function("main", 1, args);
//   } catch (const kelpa::ScriptError& e) {         // already reported
//   } catch (const kelpa::ScriptExit& e) {          // the script called exit
//   }
//   kelpa::release_interpreter();
//
// Ownership: the interpreter owns its data arena, its variable table, every
// source registered with copying, grown strings and the streams scripts
// open; release_interpreter() frees all of them. The host owns texts added
// without copying and the parameter list: both must outlive their use.
//
// Values: every value is one 32-bit word described by a type word. Texts,
// arrays and pointers are script addresses inside the interpreter's own
// checked address space, never host pointers; a host can pass numbers
// directly and texts only as addresses the interpreter gave it (a result
// typed string, or a parameter text).
//
// Errors: a script error is printed on the console output stream (path,
// message, line number and source line) and then thrown as ScriptError; the
// builtin `exit` throws ScriptExit with the script's status. After either,
// call release_interpreter() before loading and running anything again.
#ifndef KELPA_KELPA_H
#define KELPA_KELPA_H

#include <cstdint>
#include <cstdio>

namespace kelpa {

// A value word: a signed 32-bit integer (stored as its two's complement
// bits), the bits of a 32-bit IEEE float, or a script address (0 is null).
using Word = std::uint32_t;

// Describes a value word: base type in bits 0..7 (1 char, 2 short, 3 int,
// 4 float, 5 string, 6 FILE, 7 region, 10 void), array dimensions in bits
// 8..15, pointer depth in bits 16..23.
using TypeWord = std::uint32_t;

// One argument of a call: its value word and its type word. A float
// argument carries the float's bits with type 4; an int carries type 3.
struct ArgSlot {
  Word value;
  TypeWord type;
};

// Thrown after a script error has been reported; `code` is the error
// number (0 syntax error ... 22 division by zero).
struct ScriptError {
  int code;
};

// Thrown by the builtin `exit`; `status` is the script's exit status
// (-1 when exit was called without an argument).
struct ScriptExit {
  int status;
};

// Loads a script file, resolved to a full path; a file already loaded under
// any spelling of the same path is not loaded twice. Returns 1 when the file
// is registered, 0 when it was refused (unreadable, 16 sources already
// registered, no memory). Initialises the interpreter on first use. The
// file is only read here; its definitions are declared by the first
// run_function().
std::int32_t load_source_file(const char* path);

// Registers `length` bytes of script text held in memory. With copy
// non-zero the interpreter keeps its own copy and `text` may be freed at
// once. With copy 0 the text must be NUL-terminated at `length`, stays the
// host's, must remain valid until release_interpreter(), and may be written
// by the interpreter (a cell definition patches one character). The host
// may change it between calls of run_function(), never during one: the
// interpreter remembers the tokens it has read there. Returns 1,
// or 0 when text is null, length is not positive or 16 sources are
// registered. Initialises the interpreter on first use.
std::int32_t add_source_buffer(char* text, std::int32_t length, std::int32_t copy);

// Installs the list that the builtins GetParamCount, GetParamStr and
// GetParamInt read: `count` NUL-terminated texts, typically a command line.
// An entry beginning with '-' is an option whose value is the next entry
// (unless that too begins with '-'). The list is not copied: the host keeps
// the array and its texts alive and unchanged while scripts may read them.
// Scripts can read the texts but never write them. A later call replaces the
// list; it survives release_interpreter(). May be called before or after
// loading sources.
void set_parameters(std::int32_t count, const char* const* vector);

// Calls a script function, or else a builtin, by name (letter case
// ignored) with `count` arguments; `args` may be null when count is 0.
// The first call declares everything the loaded sources define and runs
// their __global block. A script function's arguments are bound to its
// parameters as by assignment; a builtin receives the slots unchanged.
// Returns the function's result word (0 when it ends without return). Throws
// ScriptError ("function undefined" when no such function exists) or
// ScriptExit.
Word run_function(const char* name, std::int32_t count, const ArgSlot* args);

// Index of the script function `name` in the variable table, or -1 when no
// function of that name has been declared (sources are declared by the first
// run_function()).
std::int32_t function_index(const char* name);

// Releases every source, the data arena, the variable table, grown strings
// and the streams scripts left open. Safe to call twice, and before anything
// was loaded. Script addresses obtained earlier are invalid afterwards.
void release_interpreter();

// Streams used for script console output (printf, putch, diagnostics) and
// input (getch); null restores stdout/stdin. Takes effect at once when the
// interpreter is initialised, and for every later initialisation.
void set_console(std::FILE* out, std::FILE* in);

}  // namespace kelpa

#endif

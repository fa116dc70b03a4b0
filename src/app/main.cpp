// The console program: kelpa <filename> loads the script, runs its main and
// ends with 0; a script error ends with -1, the builtin exit with its status.
#include <cstdio>
#include <cstdlib>

#include "kelpa/kelpa.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("Usage: kelpa <filename>\n", stdout);
    return 1;
  }
  if (!kelpa::load_source_file(argv[1])) {
    std::fprintf(stderr, "kelpa: cannot read %s\n", argv[1]);
    return 1;
  }
  int status = 0;
  try {
    kelpa::run_function("main", 0, nullptr);
  } catch (const kelpa::ScriptError&) {
    status = -1;
  } catch (const kelpa::ScriptExit& e) {
    status = e.status;
  }
  // Whatever way the script ended, its grown strings and open streams go.
  kelpa::release_interpreter();
  std::fflush(stdout);
  return status;
}

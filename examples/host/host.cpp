// An example host program that embeds kelpa.
//
//   kelpa_host SCRIPT FUNCTION [PARAMETER...]
//
// Loads SCRIPT, installs the PARAMETERs as the list the script reads with
// GetParamCount, GetParamStr and GetParamInt, calls FUNCTION with no
// arguments and prints the word it returns. A script error has already been
// reported by the interpreter when it reaches the host; the host then ends
// with status 255, and with the script's own status after `exit`.
#include <cstdio>

#include "kelpa/kelpa.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("Usage: kelpa_host <script> <function> [parameter...]\n", stderr);
    return 1;
  }
  if (!kelpa::load_source_file(argv[1])) {
    std::fprintf(stderr, "kelpa_host: cannot read %s\n", argv[1]);
    return 1;
  }
  // The list stays the host's: argv outlives every call below.
  kelpa::set_parameters(argc - 3, argv + 3);

  int status = 0;
  try {
    kelpa::Word result = kelpa::run_function(argv[2], 0, nullptr);
    // Builtins can be called by name too; this one counts the parameters.
    kelpa::Word count = kelpa::run_function("GetParamCount", 0, nullptr);
    std::fflush(stdout);
    std::printf("%s returned %d; the script saw %d parameters\n", argv[2], static_cast<int>(result),
                static_cast<int>(count));
  } catch (const kelpa::ScriptError&) {
    status = 255;
  } catch (const kelpa::ScriptExit& e) {
    status = e.status & 0xff;
  }
  kelpa::release_interpreter();
  return status;
}

// Embeds an installed kelpa: runs a script from memory with arguments and a
// parameter list, calls a builtin by name, and catches a script error.
#include <kelpa/kelpa.h>

#include <cstdio>
#include <cstring>

int main() {
  static char script[] =
      "int scale(int x, int k) { return x * k + GetParamInt(\"add\"); }\n"
      "int broken() { int a[2]; return a[1][0]; }\n";
  static const char* params[] = {"-add", "5"};
  kelpa::set_parameters(2, params);
  if (!kelpa::add_source_buffer(script, static_cast<std::int32_t>(std::strlen(script)), 1)) return 2;

  kelpa::ArgSlot args[] = {{6, 3}, {7, 3}};
  kelpa::Word r = kelpa::run_function("scale", 2, args);
  kelpa::ArgSlot base[] = {{2, 3}, {10, 3}};
  kelpa::Word p = kelpa::run_function("pow", 2, base);
  std::printf("scale=%d pow=%d index=%d\n", static_cast<int>(r), static_cast<int>(p),
              kelpa::function_index("SCALE") >= 0 ? 1 : 0);
  std::fflush(stdout);

  int code = -1;
  try {
    kelpa::run_function("broken", 0, nullptr);
  } catch (const kelpa::ScriptError& e) {
    code = e.code;
  }
  kelpa::release_interpreter();
  std::printf("error=%d\n", code);
  return 0;
}

// File and parameter builtins called directly: stream handles and their
// release, fscanf's conversions and the sizes they write at block edges, and
// the parameter texts as read-only blocks that outlive a release.
#include <unistd.h>

#include <cmath>

#include "harness.h"

namespace kelpa {
namespace {

using namespace test;

ArgSlot ptr(Addr a) { return {a, 0x10003}; }

class LibraryBuiltins : public FreshInterpreter {
 protected:
  void TearDown() override {
    FreshInterpreter::TearDown();
    set_parameters(0, nullptr);
    std::remove(path_.c_str());
  }

  Word open(const char* mode) {
    ArgSlot a[] = {str(path_), str(mode)};
    return builtin_fopen(2, a);
  }
  // fscanf over a file holding `content`, with `format`, into the destinations.
  std::int32_t scan(const std::string& content, const char* format, std::initializer_list<Addr> dst) {
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    std::fputs(content.c_str(), f);
    std::fclose(f);
    ArgSlot a[12] = {{open("r"), T_FILE_POINTER}, str(format)};
    std::int32_t n = 2;
    for (Addr d : dst) a[n++] = ptr(d);
    return sig(builtin_fscanf(n, a));
  }

  std::string path_ = "/tmp/kelpa_files_test_" + std::to_string(getpid()) + ".txt";
};

TEST_F(LibraryBuiltins, StreamHandlesAreCheckedAndReleased) {
  Word f = open("w");
  EXPECT_TRUE(f > 0 && f <= 64) << f;  // a small handle, not a host pointer

  // Words that are not handles of the table touch nothing.
  Addr target = arena_alloc(4, 4);
  write_word(target, 99);
  for (Word bad : {Word{65}, Word{0xffffffff}}) {
    ArgSlot a[] = {{bad, T_FILE_POINTER}, str("%d"), ptr(target)};
    EXPECT_EQ(sig(builtin_fclose(1, a)), -1);
    EXPECT_EQ(builtin_fprintf(3, a), 0u);
    EXPECT_EQ(sig(builtin_fscanf(3, a)), -1);
  }
  EXPECT_EQ(read_word(target), 99u);

  // Modes outside r/w/a with an optional b and + never reach the library.
  for (const char* mode : {"", "x", "r++", "rbb", "wx", "a+b+", "ccs=UTF-8"}) EXPECT_EQ(open(mode), 0u) << mode;
  Word update = open("r+b");
  EXPECT_NE(update, 0u);

  // fprintf writes every formatted byte, a NUL from %c included.
  ArgSlot out[] = {{f, T_FILE_POINTER}, str("a%cb"), {0, T_INT}};
  EXPECT_EQ(builtin_fprintf(3, out), 3u);
  std::fflush(nullptr);
  std::FILE* check = std::fopen(path_.c_str(), "ab");
  EXPECT_EQ(std::ftell(check), 3L);
  std::fclose(check);

  // Streams left open are closed on release: their handles are free again.
  release_interpreter();
  load_text("void main() {}");
  EXPECT_EQ(open("r"), f);
  EXPECT_EQ(open("r"), update);
}

TEST_F(LibraryBuiltins, FscanfWritesTheSizeOfEachConversion) {
  Addr a = arena_alloc(36, 4), b = a + 4, c = a + 8;
  EXPECT_EQ(scan("  -12,0x1f,017", "%d,%x,%i", {a, b, c}), 3);
  EXPECT_EQ(sig(read_word(a)), -12);
  EXPECT_EQ(read_word(b), 31u);
  EXPECT_EQ(read_word(c), 15u);
  EXPECT_EQ(scan("4294967297", "%u", {a}), 1);
  EXPECT_EQ(read_word(a), 1u);  // wraps instead of overflowing

  // %f fills a 32-bit float; %hd two bytes and %hhd one, neighbours kept.
  std::memset(writable(a, 16), 0x55, 16);
  EXPECT_EQ(scan("2.5e1 -7 300", "%f %hd %hhd", {a, b, c}), 3);
  EXPECT_EQ(bits_float(read_word(a)), 25.0f);
  EXPECT_EQ(read_word(b), 0x5555fff9u);
  EXPECT_EQ(read_word(c), 0x5555552cu);  // 300 in one byte
  EXPECT_EQ(scan("1e999", "%f", {a}), 1);
  EXPECT_TRUE(std::isinf(bits_float(read_word(a))));

  // Width, suppression, literal matching and where the fields end.
  EXPECT_EQ(scan("12345 9", "%2d%*d %d", {a, b}), 2);
  EXPECT_EQ(read_word(a) * 100 + read_word(b), 1209u);
  EXPECT_EQ(scan("x=5", "y=%d", {a}), 0);
  EXPECT_EQ(scan("50%", "%d%%", {a}), 1);
  EXPECT_EQ(scan("1 2", "%d %d", {a}), 1);  // no destination for the second field

  // At most eight destinations are filled.
  std::memset(writable(a, 36), 0x55, 36);
  auto nine = {a, b, c, a + 12, a + 16, a + 20, a + 24, a + 28, a + 32};
  EXPECT_EQ(scan("1 2 3 4 5 6 7 8 9", "%d %d %d %d %d %d %d %d %d", nine), 8);
  EXPECT_EQ(read_word(a + 28), 8u);
  EXPECT_EQ(read_word(a + 32), 0x55555555u);
}

TEST_F(LibraryBuiltins, FscanfTextsMustFitTheirBlock) {
  Addr buf = arena_alloc(16, 4);
  std::memset(writable(buf, 16), 'x', 16);
  EXPECT_EQ(scan("abcdef", "%3s%2c", {buf, buf + 8}), 2);
  EXPECT_STREQ(text_at(buf), "abc");
  EXPECT_EQ(std::memcmp(readable(buf + 8, 3), "dex", 3), 0);

  // Four bytes left before the arena's end: a five-letter word and its NUL
  // do not fit, and nothing is written.
  Addr tail = arena_tail("zzzz", 4);
  EXPECT_EQ(raised([&] { scan("hello", "%s", {tail}); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(std::memcmp(readable(tail, 4), "zzzz", 4), 0);
  EXPECT_EQ(scan("abc", "%s", {tail}), 1);
  EXPECT_STREQ(text_at(tail), "abc");
  // A number into a variable's 4-byte word works; a double does not fit.
  EXPECT_EQ(scan("77", "%d", {var_address(40)}), 1);
  EXPECT_EQ(raised([&] { scan("1.5", "%lf", {var_address(40)}); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(interp.var_table[40].value, 77u);
  EXPECT_EQ(raised([&] { scan("1", "%d", {0}); }), ERR_OUT_OF_RANGE);
}

TEST_F(LibraryBuiltins, ParameterListLookups) {
  auto get_str = [](ArgSlot key) { return builtin_GetParamStr(1, &key); };
  auto get_int = [](ArgSlot key) { return sig(builtin_GetParamInt(1, &key)); };
  static const char* list[] = {"-in", "data.txt", "-V", "-n", "5", "-Last"};
  set_parameters(6, list);
  EXPECT_EQ(get_str(str("data.txt")), 0u);  // values are not options
  EXPECT_EQ(get_int(num(4)), 5);
  // A char pointer key is a name too; the empty value of an option given
  // last is the end of the option's own text.
  EXPECT_EQ(get_int({str("n").value, T_CHAR_POINTER}), 5);
  EXPECT_EQ(get_str(str("last")), parameter_address(5) + 5);

  // "-5" is an option, not a value; the list survives a release.
  static const char* negative[] = {"-n", "-5"};
  set_parameters(2, negative);
  release_interpreter();
  load_text("void main() {}");
  EXPECT_EQ(get_int(str("n")), 0);
  EXPECT_STREQ(text_at(get_str(num(1))), "-5");

  // A negative count or a null vector installs an empty list.
  set_parameters(-3, list);
  EXPECT_EQ(builtin_GetParamCount(0, nullptr), 0u);
  set_parameters(2, nullptr);
  EXPECT_EQ(get_str(num(0)), 0u);
}

}  // namespace
}  // namespace kelpa

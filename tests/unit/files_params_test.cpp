// File and parameter builtins called directly: stream handles and their
// release, fscanf's conversions and the sizes they write at block edges, and
// the parameter texts as read-only blocks that outlive a release.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "builtins/builtins.h"
#include "harness.h"
#include "interp/errors.h"
#include "storage/address_space.h"
#include "storage/assignment.h"
#include "storage/types.h"

namespace kelpa {
namespace {

int raised(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const ScriptError& e) {
    return e.code;
  }
  return -1;
}

std::int32_t sig(Word w) { return static_cast<std::int32_t>(w); }
ArgSlot num(std::int32_t v) { return {static_cast<Word>(v), T_INT}; }
ArgSlot ptr(Addr a) { return {a, 0x10003}; }

class LibraryBuiltins : public ::testing::Test {
 protected:
  void SetUp() override {
    test::load_text("void main() {}");
    path_ = "/tmp/kelpa_files_test_" + std::to_string(getpid()) + ".txt";
  }
  void TearDown() override {
    release_interpreter();
    set_parameters(0, nullptr);
    std::remove(path_.c_str());
  }

  static Addr put(const char* text) {
    std::uint32_t n = static_cast<std::uint32_t>(std::strlen(text)) + 1;
    Addr a = arena_alloc(n, 4);
    std::memcpy(writable(a, n), text, n);
    return a;
  }
  static ArgSlot str(const char* text) { return {put(text), T_STRING}; }

  void write_file(const std::string& content) {
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }
  std::string read_file() {
    std::string s;
    std::FILE* f = std::fopen(path_.c_str(), "rb");
    if (!f) return "<missing>";
    for (int c; (c = std::fgetc(f)) != EOF;) s.push_back(static_cast<char>(c));
    std::fclose(f);
    return s;
  }
  Word open(const char* mode) {
    ArgSlot a[] = {str(path_.c_str()), str(mode)};
    return builtin_fopen(2, a);
  }
  // fscanf over `content` with `format` into the given destinations.
  std::int32_t scan(const std::string& content, const char* format, std::initializer_list<Addr> dst) {
    write_file(content);
    ArgSlot a[12] = {{open("r"), T_FILE_POINTER}, str(format)};
    std::int32_t n = 2;
    for (Addr d : dst) a[n++] = ptr(d);
    return sig(builtin_fscanf(n, a));
  }

  std::string path_;
  test::Console console_;
};

TEST_F(LibraryBuiltins, StreamHandlesAreCheckedAndReleased) {
  Word f = open("w");
  ASSERT_NE(f, 0u);
  EXPECT_LE(f, 64u);  // a small handle, not a host pointer
  ArgSlot s[] = {{f, T_FILE_POINTER}};
  EXPECT_EQ(builtin_fclose(1, s), 0u);
  EXPECT_EQ(sig(builtin_fclose(1, s)), -1);  // no longer open

  // Words that are not open handles touch nothing.
  for (Word bad : {Word{65}, Word{0xffffffff}}) {
    ArgSlot c[] = {{bad, T_FILE_POINTER}};
    EXPECT_EQ(sig(builtin_fclose(1, c)), -1);
    ArgSlot p[] = {{bad, T_FILE_POINTER}, str("%d"), num(1)};
    EXPECT_EQ(builtin_fprintf(3, p), 0u);
    Addr target = arena_alloc(4, 4);
    write_word(target, 99);
    ArgSlot q[] = {{bad, T_FILE_POINTER}, str("%d"), ptr(target)};
    EXPECT_EQ(sig(builtin_fscanf(3, q)), -1);
    EXPECT_EQ(read_word(target), 99u);
  }

  // Modes outside r/w/a with an optional b and + never reach the library.
  for (const char* mode : {"", "x", "r++", "rbb", "wx", "a+b+", "ccs=UTF-8"}) EXPECT_EQ(open(mode), 0u) << mode;
  Word update = open("r+b");
  EXPECT_NE(update, 0u);

  // Streams left open are closed on release: their handles are free again.
  Word second = open("r");
  EXPECT_NE(update, second);
  release_interpreter();
  test::load_text("void main() {}");
  EXPECT_EQ(open("r"), update);
  EXPECT_EQ(open("r"), second);
}

TEST_F(LibraryBuiltins, FscanfReadsNumbersIntoTheirSizes) {
  Addr a = arena_alloc(16, 4), b = a + 4, c = a + 8;
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
  EXPECT_EQ(read_i16(b), -7);
  EXPECT_EQ(read_i16(b + 2), 0x5555);
  EXPECT_EQ(read_i8(c), 44);  // 300 in one byte
  EXPECT_EQ(read_i8(c + 1), 0x55);
  EXPECT_EQ(scan("1e999", "%f", {a}), 1);
  EXPECT_TRUE(std::isinf(bits_float(read_word(a))));

  // Width, suppression and literal matching.
  EXPECT_EQ(scan("12345 9", "%2d%*d %d", {a, b}), 2);
  EXPECT_EQ(read_word(a), 12u);
  EXPECT_EQ(read_word(b), 9u);
  EXPECT_EQ(scan("x=5", "y=%d", {a}), 0);
  EXPECT_EQ(scan("7 abc", "%d %d", {a, b}), 1);
  EXPECT_EQ(scan("50%", "%d%%", {a}), 1);
  EXPECT_EQ(read_word(a), 50u);
}

TEST_F(LibraryBuiltins, FscanfEndOfInputAndDestinationLimits) {
  Addr a = arena_alloc(64, 4);
  EXPECT_EQ(scan("   \n", " %d", {a}), -1);
  EXPECT_EQ(scan("5", "%d %d", {a, a + 4}), 1);  // end after the first field

  // Ten conversions and ten destinations: only the first eight are filled.
  std::memset(writable(a, 40), 0, 40);
  std::initializer_list<Addr> ten = {a, a + 4, a + 8, a + 12, a + 16, a + 20, a + 24, a + 28, a + 32, a + 36};
  EXPECT_EQ(scan("1 2 3 4 5 6 7 8 9 10", "%d %d %d %d %d %d %d %d %d %d", ten), 8);
  EXPECT_EQ(read_word(a + 28), 8u);
  EXPECT_EQ(read_word(a + 32), 0u);
  EXPECT_EQ(read_word(a + 36), 0u);
  // Fewer destinations than conversions: the rest are not read.
  EXPECT_EQ(scan("1 2", "%d %d", {a}), 1);
}

TEST_F(LibraryBuiltins, FscanfTextsMustFitTheirBlock) {
  Addr buf = arena_alloc(16, 4);
  std::memset(writable(buf, 16), 'x', 16);
  EXPECT_EQ(scan("  hello world", "%s %c", {buf, buf + 8}), 2);
  EXPECT_STREQ(text_at(buf), "hello");
  EXPECT_EQ(read_i8(buf + 8), 'w');
  EXPECT_EQ(read_i8(buf + 9), 'x');  // %c writes one byte, no NUL
  EXPECT_EQ(scan("abcdef", "%3s%2c", {buf, buf + 8}), 2);
  EXPECT_STREQ(text_at(buf), "abc");
  EXPECT_EQ(std::memcmp(readable(buf + 8, 3), "dex", 3), 0);

  // Four bytes left before the arena's end: a five-letter word and its NUL
  // do not fit, and nothing is written.
  Addr tail = ARENA_BASE + ARENA_SIZE - 4;
  std::memcpy(writable(tail, 4), "zzzz", 4);
  EXPECT_EQ(raised([&] { scan("hello", "%s", {tail}); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(std::memcmp(readable(tail, 4), "zzzz", 4), 0);
  EXPECT_EQ(scan("abc", "%s", {tail}), 1);
  EXPECT_STREQ(text_at(tail), "abc");
  // A number into a variable's 4-byte word works; a double does not fit.
  interp.var_table[40].value = 0;
  EXPECT_EQ(scan("77", "%d", {var_address(40)}), 1);
  EXPECT_EQ(interp.var_table[40].value, 77u);
  EXPECT_EQ(raised([&] { scan("1.5", "%lf", {var_address(40)}); }), ERR_OUT_OF_RANGE);
  EXPECT_EQ(interp.var_table[40].value, 77u);
  EXPECT_EQ(raised([&] { scan("1", "%d", {0}); }), ERR_OUT_OF_RANGE);
}

TEST_F(LibraryBuiltins, ParameterListLookups) {
  auto get_str = [&](ArgSlot key) {
    ArgSlot a[] = {key};
    return builtin_GetParamStr(1, a);
  };
  auto get_int = [&](ArgSlot key) {
    ArgSlot a[] = {key};
    return sig(builtin_GetParamInt(1, a));
  };
  ArgSlot none[1] = {};
  static const char* list[] = {"-in", "data.txt", "-V", "-n", "5", "-Last"};
  set_parameters(6, list);
  EXPECT_EQ(get_str(str("data.txt")), 0u);  // values are not options
  EXPECT_EQ(get_int(num(4)), 5);
  // A char pointer key is a name too; the empty value of an option given
  // last is the end of the option's own text.
  EXPECT_EQ(get_int({put("n"), T_CHAR_POINTER}), 5);
  EXPECT_EQ(get_str(str("last")), parameter_address(5) + 5);

  // Returned texts are the host's: scripts cannot write them.
  Addr value = get_str(str("in"));
  EXPECT_EQ(raised([&] { write_u8(value, 'X'); }), ERR_OUT_OF_RANGE);
  EXPECT_STREQ(list[1], "data.txt");

  static const char* negative[] = {"-n", "-5"};
  set_parameters(2, negative);
  EXPECT_EQ(get_int(str("n")), 0);  // "-5" is an option, not a value

  // The list survives a release of the interpreter.
  release_interpreter();
  test::load_text("void main() {}");
  EXPECT_EQ(builtin_GetParamCount(0, none), 2u);
  EXPECT_STREQ(text_at(get_str(num(1))), "-5");

  // A negative count or a null vector installs an empty list.
  set_parameters(-3, list);
  EXPECT_EQ(builtin_GetParamCount(0, none), 0u);
  set_parameters(2, nullptr);
  EXPECT_EQ(get_str(num(0)), 0u);
}

}  // namespace
}  // namespace kelpa

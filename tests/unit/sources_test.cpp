// The source registry: full paths, duplicates under another spelling, the
// sixteen-source limit, empty and CRLF files, in-memory buffers.
#include "interp/sources.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>

#include "harness.h"

namespace kelpa {
namespace {

namespace fs = std::filesystem;

class Sources : public ::testing::Test {
 protected:
  void SetUp() override {
    release_interpreter();
    dir_ = fs::temp_directory_path() / ("kelpa_sources_" + std::to_string(::getpid()));
    fs::create_directories(dir_ / "sub");
    old_cwd_ = fs::current_path();
    fs::current_path(dir_ / "sub");
  }
  void TearDown() override {
    release_interpreter();
    fs::current_path(old_cwd_);
    fs::remove_all(dir_);
  }
  std::string write(const std::string& name, const std::string& text) {
    fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << text;
    return p.string();
  }
  fs::path dir_, old_cwd_;
};

TEST_F(Sources, FullPathsResolveDotsLexically) {
  std::string cwd = fs::current_path().string();
  EXPECT_EQ(full_path("a.kel"), cwd + "/a.kel");
  EXPECT_EQ(full_path("./x/../b.kel"), cwd + "/b.kel");
  EXPECT_EQ(full_path("../c.kel"), dir_.string() + "/c.kel");
  EXPECT_EQ(full_path(""), cwd);
  EXPECT_EQ(full_path("/tmp/./q/.."), "/tmp");
}

TEST_F(Sources, SameFileUnderAnotherSpellingLoadsOnce) {
  write("lib.kel", "int x;");
  EXPECT_EQ(load_source_file("../lib.kel"), 1);
  EXPECT_EQ(load_source_file("../sub/../lib.kel"), 1);
  std::string upper = dir_.string() + "/LIB.KEL";
  EXPECT_EQ(load_source_file(upper.c_str()), 1);
  EXPECT_EQ(interp.source_count, 1);
  EXPECT_EQ(std::string(interp.source_table[0]->path), dir_.string() + "/lib.kel");
  EXPECT_STREQ(interp.source_table[0]->text, "int x;");
}

TEST_F(Sources, RefusalsLeaveTheTableUnchanged) {
  EXPECT_EQ(load_source_file("missing.kel"), 0);
  EXPECT_EQ(load_source_file(dir_.string().c_str()), 0);  // a directory is not a script
  EXPECT_EQ(interp.source_count, 0);
  EXPECT_EQ(interp.interp_state, 1);
  char text[] = "x";
  EXPECT_EQ(add_source_buffer(text, 0, 1), 0);
  EXPECT_EQ(add_source_buffer(nullptr, 3, 1), 0);
  EXPECT_EQ(interp.source_count, 0);
}

TEST_F(Sources, FileBytesStayAsRead) {
  std::string empty = write("empty.kel", "");
  std::string crlf = write("crlf.kel", "a;\r\nb;\r\n");
  ASSERT_EQ(load_source_file(empty.c_str()), 1);
  ASSERT_EQ(load_source_file(crlf.c_str()), 1);
  EXPECT_EQ(interp.source_table[0]->length, 0);
  EXPECT_EQ(interp.source_table[0]->text[0], 0);
  EXPECT_EQ(interp.source_table[1]->length, 8);
  EXPECT_STREQ(interp.source_table[1]->text, "a;\r\nb;\r\n");
}

TEST_F(Sources, SixteenSourcesAtMost) {
  std::string first = write("s0.kel", "int a;");
  ASSERT_EQ(load_source_file(first.c_str()), 1);
  char text[] = "int b;";
  EXPECT_EQ(add_source_buffer(text, 6, 0), 1);
  EXPECT_EQ(interp.source_table[1]->text, text);  // not copied
  for (int i = 2; i < SOURCE_LIMIT; ++i) EXPECT_EQ(add_source_buffer(text, 6, 1), 1);
  EXPECT_EQ(add_source_buffer(text, 6, 1), 0);
  // Even a file already registered is refused once the table is full.
  EXPECT_EQ(load_source_file(first.c_str()), 0);
  EXPECT_EQ(interp.source_count, SOURCE_LIMIT);
}

TEST_F(Sources, LongPathsAreSupported) {
  std::string deep = "d";
  for (int i = 0; i < 12; ++i) deep += "/abcdefghijklmnopqrstuvwxyz";
  fs::create_directories(dir_ / deep);
  std::string path = write(deep + "/long.kel", "int z;");
  ASSERT_GT(path.size(), 300u);
  EXPECT_EQ(load_source_file(path.c_str()), 1);
  EXPECT_EQ(std::string(interp.source_table[0]->path), path);
}

}  // namespace
}  // namespace kelpa

// The source registry. A loaded file is one heap block: the SourceEntry
// header, the full path with its NUL, then the file's bytes and a NUL. A
// buffer added with copying is the header followed by the copy; without
// copying the block holds only the header and the text stays the host's.
#include "interp/sources.h"

#include <strings.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "interp/errors.h"
#include "lexer/scanner.h"

namespace kelpa {

std::string full_path(const char* path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path p = (path && path[0]) ? fs::absolute(fs::path(path), ec) : fs::current_path(ec);
  if (ec) return std::string();
  std::string s = p.lexically_normal().string();
  // "dir/." normalises to "dir/"; keep the root's single slash only.
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

char* load_file_text(const char* path, std::size_t prefix, std::size_t* size) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return nullptr;
  struct stat st;
  char* block = nullptr;
  if (fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) && st.st_size < INT_MAX) {
    std::size_t n = static_cast<std::size_t>(st.st_size);
    block = static_cast<char*>(std::malloc(prefix + n + 1));
    if (block && std::fread(block + prefix, 1, n, f) == n) {
      block[prefix + n] = 0;
      *size = n;
    } else {
      std::free(block);
      block = nullptr;
    }
  }
  std::fclose(f);
  return block;
}

std::int32_t load_source_file(const char* path) {
  if (interp.interp_state == 0) init_interpreter();
  std::string full = full_path(path);
  if (full.empty()) return 0;
  if (interp.source_count >= SOURCE_LIMIT) return 0;
  for (int i = 0; i < interp.source_count; ++i) {
    const SourceEntry* e = interp.source_table[i];
    if (e->path && strcasecmp(e->path, full.c_str()) == 0) return 1;
  }
  std::size_t n = full.size() + 1;
  std::size_t size = 0;
  char* block = load_file_text(full.c_str(), sizeof(SourceEntry) + n, &size);
  if (!block) return 0;
  SourceEntry* e = reinterpret_cast<SourceEntry*>(block);
  e->path = block + sizeof(SourceEntry);
  std::memcpy(e->path, full.c_str(), n);
  e->text = e->path + n;
  e->length = static_cast<std::int32_t>(size);
  e->prescanned = 0;
  interp.source_table[interp.source_count++] = e;
  forget_tokens();  // a new text may lie where a freed one was
  return 1;
}

std::int32_t add_source_buffer(char* text, std::int32_t length, std::int32_t copy) {
  if (interp.interp_state == 0) init_interpreter();
  if (!text || length <= 0 || interp.source_count >= SOURCE_LIMIT) return 0;
  std::size_t extra = copy ? static_cast<std::size_t>(length) + 1 : 0;
  char* block = static_cast<char*>(std::malloc(sizeof(SourceEntry) + extra));
  if (!block) return 0;
  SourceEntry* e = reinterpret_cast<SourceEntry*>(block);
  if (copy) {
    e->text = block + sizeof(SourceEntry);
    std::memcpy(e->text, text, static_cast<std::size_t>(length));
    e->text[length] = 0;
  } else {
    e->text = text;
  }
  e->path = nullptr;
  e->length = length;
  e->prescanned = 0;
  interp.source_table[interp.source_count++] = e;
  forget_tokens();  // a new text may lie where a freed one was
  return 1;
}

SourceEntry* source_of(const char* p) {
  for (int i = 0; i < interp.source_count; ++i) {
    SourceEntry* e = interp.source_table[i];
    if (p >= e->text && p <= e->text + e->length) return e;
  }
  return nullptr;
}

void release_sources() {
  for (int i = 0; i < interp.source_count; ++i) {
    std::free(interp.source_table[i]);
    interp.source_table[i] = nullptr;
  }
  interp.source_count = 0;
  forget_tokens();
}

}  // namespace kelpa

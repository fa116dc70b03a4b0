// The source registry: every text the interpreter executes, registered once
// and kept until release, so positions inside any text stay valid.
#ifndef KELPA_INTERP_SOURCES_H
#define KELPA_INTERP_SOURCES_H

#include <cstdint>
#include <string>

#include "interp/state.h"

namespace kelpa {

// Full path of a file name: relative to the current directory, "." and ".."
// resolved lexically; the file need not exist. Empty gives the current
// directory.
std::string full_path(const char* path);

// Reads a whole file into a new malloc'd block that begins with `prefix`
// reserved bytes and ends with a NUL; null when the file cannot be read.
char* load_file_text(const char* path, std::size_t prefix, std::size_t* size);

// The source whose text holds `p` (its terminating NUL included), or null.
SourceEntry* source_of(const char* p);

void release_sources();

}  // namespace kelpa

#endif

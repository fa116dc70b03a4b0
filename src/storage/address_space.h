// The checked 32-bit address space.
//
// Scripts see every address as a 32-bit word. This module maps those words
// onto memory the interpreter owns, in separate blocks:
//   - the data arena (ARENA_SIZE bytes at ARENA_BASE), one block;
//   - the value word of each var_table entry (4 bytes each at VAR_BASE), the
//     target of '&x', one block per entry;
//   - the host's parameter texts (read-only, one block per text);
//   - heap storage of grown strings (one block per allocation; addresses are
//     never handed out twice, so a stale address finds no block).
// Every access a script causes names an address and a byte count; the whole
// range must lie inside one block or "out of range" is raised. The arena is
// the hot case and is checked with one subtraction and one compare.
#ifndef KELPA_STORAGE_ADDRESS_SPACE_H
#define KELPA_STORAGE_ADDRESS_SPACE_H

#include <cstdint>
#include <cstring>

#include "interp/state.h"

namespace kelpa {

constexpr Addr ARENA_BASE = 0x00010000u;
constexpr std::uint32_t ARENA_SIZE = 1048577u;  // one MiB plus one byte
constexpr Addr VAR_BASE = 0x00400000u;           // + 4 * entry index
constexpr Addr PARAM_BASE = 0x01000000u;
constexpr Addr HEAP_BASE = 0x10000000u;

// Slow paths: any block; raise "out of range" when the range fits none.
std::uint8_t* writable_slow(Addr a, std::uint32_t n);
const std::uint8_t* readable_slow(Addr a, std::uint32_t n);

// Host pointer to n bytes at a, all inside one writable block.
inline std::uint8_t* writable(Addr a, std::uint32_t n) {
  std::uint32_t off = a - ARENA_BASE;
  if (off < ARENA_SIZE && n <= ARENA_SIZE - off) return interp.data_arena + off;
  return writable_slow(a, n);
}

// Host pointer to n bytes at a, all inside one block (read-only blocks too).
inline const std::uint8_t* readable(Addr a, std::uint32_t n) {
  std::uint32_t off = a - ARENA_BASE;
  if (off < ARENA_SIZE && n <= ARENA_SIZE - off) return interp.data_arena + off;
  return readable_slow(a, n);
}

inline std::int32_t read_i8(Addr a) { return static_cast<std::int8_t>(*readable(a, 1)); }
inline std::int32_t read_i16(Addr a) {
  std::int16_t v;
  std::memcpy(&v, readable(a, 2), 2);
  return v;
}
inline Word read_word(Addr a) {
  Word v;
  std::memcpy(&v, readable(a, 4), 4);
  return v;
}
inline void write_u8(Addr a, Word v) { *writable(a, 1) = static_cast<std::uint8_t>(v); }
inline void write_u16(Addr a, Word v) {
  std::uint16_t h = static_cast<std::uint16_t>(v);
  std::memcpy(writable(a, 2), &h, 2);
}
inline void write_word(Addr a, Word v) { std::memcpy(writable(a, 4), &v, 4); }

// Bytes from a to the end of its block (at least 1); raises when a lies in no
// block, or in a read-only block when `for_write` is set.
std::uint32_t block_room(Addr a, bool for_write);

// Length of the NUL-terminated text at a; raises when no NUL is found before
// the end of a's block.
std::uint32_t text_length(Addr a);

// Host pointer to the checked, NUL-terminated text at a.
const char* text_at(Addr a);

// Copies n bytes (overlap allowed), both ranges checked.
void copy_bytes(Addr dst, Addr src, std::uint32_t n);

// Reserves n bytes at arena_top aligned up to `align` (1 or 4) and returns
// their address; raises "out of range" when they do not fit the arena.
Addr arena_alloc(std::uint32_t n, std::uint32_t align);

// arena_top rounded up to a multiple of 4 (not reserved).
inline Addr arena_aligned_top() { return (interp.arena_top + 3u) & ~3u; }

// True for a storage address that lies outside the arena: heap storage.
inline bool is_heap_storage(Addr a) { return a - ARENA_BASE >= 0x100000u; }

inline Addr var_address(std::int32_t index) { return VAR_BASE + 4u * static_cast<std::uint32_t>(index); }

// Heap blocks for grown strings. heap_alloc raises "out of range" when no
// memory or no address space is left. heap_resize keeps the address while the
// block's reserved span allows, else moves it (freeing the old block).
Addr heap_alloc(std::uint32_t n);
Addr heap_resize(Addr a, std::uint32_t n);
void heap_free(Addr a);
void heap_release_all();
std::size_t heap_block_count();

// Read-only blocks for the host's parameter texts, rebuilt by set_parameters.
void map_parameters(std::int32_t count, const char* const* vector);
Addr parameter_address(std::int32_t index);       // 0 when absent

}  // namespace kelpa

#endif

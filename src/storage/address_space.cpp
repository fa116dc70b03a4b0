// The checked address space: blocks other than the arena.
//
// Heap blocks get addresses from a bump counter that never goes back, so an
// address of a freed block finds no block again. Each block reserves a span
// of addresses (a power of two, at least 64) so that a growing string can
// keep its address while it fits its span.
#include "storage/address_space.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "interp/errors.h"

namespace kelpa {

namespace {

struct HeapBlock {
  Addr base;
  std::uint32_t size;
  std::uint32_t span;
  std::uint8_t* memory;
};

struct ParamBlock {
  Addr base;
  std::uint32_t size;  // text length plus its NUL
  const char* text;
};

std::vector<HeapBlock> heap_blocks;  // sorted by base
Addr next_heap = HEAP_BASE;
std::vector<ParamBlock> param_blocks;  // sorted by base

[[noreturn]] void out_of_range() { raise_error(ERR_OUT_OF_RANGE); }

HeapBlock* find_heap(Addr a) {
  auto it = std::upper_bound(heap_blocks.begin(), heap_blocks.end(), a,
                             [](Addr x, const HeapBlock& b) { return x < b.base; });
  if (it == heap_blocks.begin()) return nullptr;
  --it;
  return a - it->base < it->size ? &*it : nullptr;
}

const ParamBlock* find_param(Addr a) {
  auto it = std::upper_bound(param_blocks.begin(), param_blocks.end(), a,
                             [](Addr x, const ParamBlock& b) { return x < b.base; });
  if (it == param_blocks.begin()) return nullptr;
  --it;
  return a - it->base < it->size ? &*it : nullptr;
}

// The block holding a: host pointer to a and the bytes left in the block.
struct Span {
  std::uint8_t* host;
  std::uint32_t room;
  bool read_only;
};

bool locate(Addr a, Span* s) {
  std::uint32_t off = a - ARENA_BASE;
  if (interp.data_arena && off < ARENA_SIZE) {
    *s = {interp.data_arena + off, ARENA_SIZE - off, false};
    return true;
  }
  off = a - VAR_BASE;
  if (interp.var_table && off < 4u * VAR_LIMIT) {
    auto* word = reinterpret_cast<std::uint8_t*>(&interp.var_table[off / 4].value);
    *s = {word + off % 4, 4 - off % 4, false};
    return true;
  }
  if (HeapBlock* h = find_heap(a)) {
    *s = {h->memory + (a - h->base), h->size - (a - h->base), false};
    return true;
  }
  if (const ParamBlock* p = find_param(a)) {
    auto* text = reinterpret_cast<std::uint8_t*>(const_cast<char*>(p->text));
    *s = {text + (a - p->base), p->size - (a - p->base), true};
    return true;
  }
  return false;
}

std::uint32_t span_for(std::uint32_t n) {
  std::uint32_t span = 64;
  while (span < n && span < 0x80000000u) span <<= 1;
  return span;
}

}  // namespace

std::uint8_t* writable_slow(Addr a, std::uint32_t n) {
  Span s;
  if (!locate(a, &s) || s.read_only || n > s.room) out_of_range();
  return s.host;
}

const std::uint8_t* readable_slow(Addr a, std::uint32_t n) {
  Span s;
  if (!locate(a, &s) || n > s.room) out_of_range();
  return s.host;
}

std::uint32_t block_room(Addr a, bool for_write) {
  Span s;
  if (!locate(a, &s) || (for_write && s.read_only)) out_of_range();
  return s.room;
}

std::uint32_t text_length(Addr a) {
  Span s;
  if (!locate(a, &s)) out_of_range();
  const void* nul = std::memchr(s.host, 0, s.room);
  if (!nul) out_of_range();
  return static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(nul) - s.host);
}

const char* text_at(Addr a) {
  text_length(a);
  return reinterpret_cast<const char*>(readable(a, 1));
}

void copy_bytes(Addr dst, Addr src, std::uint32_t n) {
  if (n == 0) return;
  const std::uint8_t* from = readable(src, n);
  std::uint8_t* to = writable(dst, n);
  std::memmove(to, from, n);
}

Addr arena_alloc(std::uint32_t n, std::uint32_t align) {
  std::uint32_t start = (interp.arena_top - ARENA_BASE + (align - 1)) & ~(align - 1);
  if (start > ARENA_SIZE || n > ARENA_SIZE - start) out_of_range();
  interp.arena_top = ARENA_BASE + start + n;
  return ARENA_BASE + start;
}

Addr heap_alloc(std::uint32_t n) {
  std::uint32_t span = span_for(n);
  if (n == 0 || n > 0x40000000u || span > 0u - next_heap) out_of_range();
  auto* memory = static_cast<std::uint8_t*>(std::calloc(n, 1));
  if (!memory) out_of_range();
  heap_blocks.push_back({next_heap, n, span, memory});
  Addr base = next_heap;
  next_heap += span;
  return base;
}

Addr heap_resize(Addr a, std::uint32_t n) {
  HeapBlock* h = find_heap(a);
  if (!h || h->base != a) return heap_alloc(n);
  if (n <= h->span) {
    auto* memory = static_cast<std::uint8_t*>(std::realloc(h->memory, n));
    if (!memory) out_of_range();
    h->memory = memory;
    h->size = n;
    return a;
  }
  heap_free(a);
  return heap_alloc(n);
}

void heap_free(Addr a) {
  HeapBlock* h = find_heap(a);
  if (!h || h->base != a) return;
  std::free(h->memory);
  heap_blocks.erase(heap_blocks.begin() + (h - heap_blocks.data()));
}

void heap_release_all() {
  for (HeapBlock& h : heap_blocks) std::free(h.memory);
  heap_blocks.clear();
  next_heap = HEAP_BASE;
}

std::size_t heap_block_count() { return heap_blocks.size(); }

void map_parameters(std::int32_t count, const char* const* vector) {
  param_blocks.clear();
  Addr next = PARAM_BASE;
  for (std::int32_t i = 0; i < count && vector; ++i) {
    std::size_t len = std::strlen(vector[i]) + 1;
    if (len > HEAP_BASE - next) break;  // the rest stays unreachable
    param_blocks.push_back({next, static_cast<std::uint32_t>(len), vector[i]});
    next += static_cast<std::uint32_t>((len + 3) & ~std::size_t{3});
  }
}

Addr parameter_address(std::int32_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= param_blocks.size()) return 0;
  return param_blocks[static_cast<std::size_t>(index)].base;
}

}  // namespace kelpa

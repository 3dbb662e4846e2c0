#include "docs/xml_allocation.h"

#include <libxml/xmlmemory.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

// AddressSanitizer must see libxml2's own blocks come and go, so it gets none of the cache.
#if defined(__SANITIZE_ADDRESS__)
#define KENSHIN_XML_BLOCK_CACHE 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KENSHIN_XML_BLOCK_CACHE 0
#endif
#endif
#ifndef KENSHIN_XML_BLOCK_CACHE
#define KENSHIN_XML_BLOCK_CACHE 1
#endif

namespace kenshin::docs {

namespace {

// Every block, kept or not, starts with a header holding the size of what
// follows it; the header is as long as malloc's alignment, so what libxml2
// gets is aligned as malloc's own blocks are.
constexpr size_t kHeader = alignof(std::max_align_t);
constexpr size_t kGrain = 16;
constexpr size_t kLargestKept = 256;  // blocks up to this size, in kGrain steps, are kept for reuse
constexpr size_t kClasses = kLargestKept / kGrain;
static_assert(kHeader >= sizeof(size_t) && kGrain % alignof(std::max_align_t) == 0);

struct FreeBlock {
  FreeBlock* next;
};

// Trivially destructible, so usable at any point of the thread's end.
struct Kept {
  FreeBlock* head[kClasses];
  size_t bytes;        // headers included
  bool drain_armed;    // the thread's DrainAtExit has been made
  bool thread_ending;  // drained: nothing more is kept
};
thread_local constinit Kept kept{};

size_t& size_of(void* block) { return *reinterpret_cast<size_t*>(static_cast<char*>(block) - kHeader); }
void* header_of(void* block) { return static_cast<char*>(block) - kHeader; }

void drain() {
  for (FreeBlock*& head : kept.head) {
    while (head != nullptr) {
      FreeBlock* block = head;
      head = block->next;
      std::free(header_of(block));
    }
  }
  kept.bytes = 0;
}

struct DrainAtExit {
  ~DrainAtExit() {
    drain();
    kept.thread_ending = true;
  }
};
thread_local DrainAtExit drain_at_exit;

void* allocate(size_t size) {
  if (size <= kLargestKept) {
    size = size == 0 ? kGrain : (size + kGrain - 1) / kGrain * kGrain;
    FreeBlock*& head = kept.head[size / kGrain - 1];
    if (head != nullptr) {
      FreeBlock* block = head;
      head = block->next;
      kept.bytes -= kHeader + size;
      return block;
    }
  }
  if (size > SIZE_MAX - kHeader) return nullptr;
  void* header = std::malloc(kHeader + size);
  if (header == nullptr) return nullptr;
  void* block = static_cast<char*>(header) + kHeader;
  size_of(block) = size;
  return block;
}

void release(void* block) {
  if (block == nullptr) return;
  size_t size = size_of(block);
  if (size > kLargestKept || kept.thread_ending || kept.bytes + kHeader + size > kMaxKeptPerThread) {
    std::free(header_of(block));
    return;
  }
  if (!kept.drain_armed) {
    kept.drain_armed = true;
    static_cast<void>(&drain_at_exit);  // made now, so destroyed when the thread ends
  }
  FreeBlock*& head = kept.head[size / kGrain - 1];
  head = new (block) FreeBlock{head};
  kept.bytes += kHeader + size;
}

void* reallocate(void* block, size_t size) {
  if (block == nullptr) return allocate(size);
  size_t old_size = size_of(block);
  if (old_size > kLargestKept && size > kLargestKept) {
    if (size > SIZE_MAX - kHeader) return nullptr;
    void* header = std::realloc(header_of(block), kHeader + size);
    if (header == nullptr) return nullptr;
    block = static_cast<char*>(header) + kHeader;
    size_of(block) = size;
    return block;
  }
  if (old_size <= kLargestKept && size <= old_size) return block;
  void* moved = allocate(size);
  if (moved == nullptr) return nullptr;
  std::memcpy(moved, block, old_size < size ? old_size : size);
  release(block);
  return moved;
}

char* duplicate(const char* text) {
  if (text == nullptr) return nullptr;
  size_t size = std::strlen(text) + 1;
  void* copy = allocate(size);
  if (copy != nullptr) std::memcpy(copy, text, size);
  return static_cast<char*>(copy);
}

}  // namespace

bool xml_block_cache_built() { return KENSHIN_XML_BLOCK_CACHE != 0; }

void set_up_xml_allocation() {
  if (xml_block_cache_built()) xmlMemSetup(release, allocate, reallocate, duplicate);
}

std::size_t xml_blocks_kept_on_this_thread() { return kept.bytes; }

}  // namespace kenshin::docs

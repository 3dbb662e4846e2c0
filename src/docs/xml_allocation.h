// libxml2's memory: a parsed document is thousands of small nodes, made one
// by one and freed all together when the document goes. Each thread keeps
// the small blocks libxml2 frees on it and hands them out again, instead of
// passing every one through malloc and free.
#pragma once

#include <cstddef>

namespace kenshin::docs {

// Makes libxml2 allocate through the block cache. Called first thing in
// main, before any libxml2 call and before a second thread starts: memory
// libxml2 took from plain malloc must never reach the cache's free. Does
// nothing when built with AddressSanitizer, which then sees every block
// libxml2 makes and frees as it is.
void set_up_xml_allocation();

// Whether set_up_xml_allocation puts the cache in place in this build.
bool xml_block_cache_built();

// The bytes of the free blocks this thread keeps for reuse (kept: at most
// kMaxKeptPerThread).
std::size_t xml_blocks_kept_on_this_thread();

inline constexpr std::size_t kMaxKeptPerThread = std::size_t{4} << 20;

}  // namespace kenshin::docs

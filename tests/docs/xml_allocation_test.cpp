#include "docs/xml_allocation.h"

#include <gtest/gtest.h>
#include <libxml/xmlmemory.h>
#include <malloc.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace kenshin::docs {
namespace {

constexpr size_t kHeader = alignof(std::max_align_t);

// Runs body on a thread of its own, whose kept blocks start empty.
template <typename Body>
void on_fresh_thread(Body body) {
  std::thread(body).join();
}

TEST(XmlAllocation, ResizedBlocksKeepTheirBytesAndRoom) {
  struct Case {
    size_t from, to;
  } cases[] = {{0, 1}, {1, 16}, {16, 17}, {17, 16}, {200, 256}, {256, 257}, {257, 256},
               {300, 5000}, {5000, 40}, {100, 100}, {250, 10}};
  on_fresh_thread([&] {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
      auto* block = static_cast<unsigned char*>(xmlMalloc(c.from));
      ASSERT_NE(block, nullptr);
      for (size_t i = 0; i < c.from; ++i) block[i] = static_cast<unsigned char>(i * 7 + 1);
      auto* resized = static_cast<unsigned char*>(xmlRealloc(block, c.to));
      ASSERT_NE(resized, nullptr);
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(resized) % alignof(std::max_align_t), 0u);
      for (size_t i = 0; i < std::min(c.from, c.to); ++i) ASSERT_EQ(resized[i], static_cast<unsigned char>(i * 7 + 1));
      if (xml_block_cache_built()) {
        EXPECT_GE(malloc_usable_size(resized - kHeader), kHeader + c.to);
      }
      std::memset(resized, 0xAB, c.to);
      xmlFree(resized);
    }
    char* copy = xmlMemStrdup("検査値");
    EXPECT_STREQ(copy, "検査値");
    xmlFree(copy);
  });
}

TEST(XmlAllocation, SmallBlocksComeBackUpToTheCeiling) {
  if (!xml_block_cache_built()) GTEST_SKIP() << "built without the block cache";
  on_fresh_thread([] {
    std::vector<void*> blocks(2 * kMaxKeptPerThread / (kHeader + 64));
    for (void*& block : blocks) block = xmlMalloc(60);
    for (void* block : blocks) xmlFree(block);
    EXPECT_LE(xml_blocks_kept_on_this_thread(), kMaxKeptPerThread);
    EXPECT_GT(xml_blocks_kept_on_this_thread(), kMaxKeptPerThread - (kHeader + 64));
    size_t kept = xml_blocks_kept_on_this_thread();
    void* again = xmlMalloc(64);  // the same size class
    EXPECT_EQ(xml_blocks_kept_on_this_thread(), kept - (kHeader + 64));
    void* larger = xmlMalloc(65);  // the next class has none kept
    EXPECT_EQ(xml_blocks_kept_on_this_thread(), kept - (kHeader + 64));
    xmlFree(larger);
    xmlFree(again);
  });
}

TEST(XmlAllocation, ABlockFreedOnAnotherThreadJoinsThatThreadsBlocks) {
  if (!xml_block_cache_built()) GTEST_SKIP() << "built without the block cache";
  void* block = nullptr;
  on_fresh_thread([&] { block = xmlMalloc(100); });
  on_fresh_thread([&] {
    xmlFree(block);
    EXPECT_EQ(xml_blocks_kept_on_this_thread(), kHeader + 112);
    EXPECT_EQ(xmlMalloc(112), block);
    xmlFree(block);
  });
}

}  // namespace
}  // namespace kenshin::docs

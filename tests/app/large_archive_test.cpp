#include <gtest/gtest.h>

#include "support/check_kit.h"

namespace kenshin::testing {
namespace {

// Archives of more than 32767 documents are checked like any other: every
// pair is visited and reported under its own name.
TEST(LargeArchive, MoreThan32767PairsAreAllChecked) {
  constexpr int kPairs = 32769;
  Archive archive;
  for (int i = 1; i <= kPairs; ++i) {
    archive.add("DATA/" + Archive::data_name(i), "");
    archive.add("CLAIMS/" + Archive::claims_name(i), "");
  }
  CheckResult r = check(archive);
  ASSERT_EQ(r.lines.size(), 2u * kPairs);
  EXPECT_EQ(r.lines[2 * 32767], Archive::data_name(32768) + "の読込に失敗しました");
  EXPECT_EQ(r.lines.back(), Archive::claims_name(kPairs) + "の読込に失敗しました");
}

}  // namespace
}  // namespace kenshin::testing

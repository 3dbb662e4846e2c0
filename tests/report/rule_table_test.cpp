#include "report/rule_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>

namespace kenshin::report {
namespace {

// In-house systems key on the ids: one id names one message of one kind,
// and the id says which kind of document it is about.
TEST(RuleTable, EveryIdAndEveryMessageOfAKindStandsOnce) {
  std::set<std::string_view> ids;
  std::set<std::pair<FindingKind, std::string_view>> messages;
  for (const RuleRow& row : rule_table()) {
    SCOPED_TRACE(std::string(row.id));
    EXPECT_TRUE(ids.insert(row.id).second) << "id twice";
    EXPECT_TRUE(messages.insert({row.kind, row.message}).second) << "message twice";
    std::string prefix = std::string(kind_name(row.kind)) + ".";
    EXPECT_EQ(row.id.substr(0, prefix.size()), prefix);
    EXPECT_EQ(find_rule(row.kind, row.message), &row);
  }
}

TEST(RuleTable, AMessageIsFoundOnlyUnderItsOwnKind) {
  EXPECT_EQ(find_rule(FindingKind::kData, "　生年月日がありません")->id, "data.birth-date.absent");
  EXPECT_EQ(find_rule(FindingKind::kSettlement, "　生年月日がありません")->id, "settlement.birth-date.absent");
  EXPECT_EQ(find_rule(FindingKind::kSettlement, "　身長がありません"), nullptr);
  EXPECT_EQ(find_rule(FindingKind::kData, "　身長がありません "), nullptr);
}

TEST(RuleTable, TheFindingsDocumentListsEveryId) {
  std::ifstream in(std::string(KENSHIN_SOURCE_DIR) + "/docs/findings.md");
  std::string doc((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(doc.empty());
  for (const RuleRow& row : rule_table()) {
    EXPECT_NE(doc.find("`" + std::string(row.id) + "`"), std::string::npos) << row.id;
  }
}

}  // namespace
}  // namespace kenshin::report

#include <gtest/gtest.h>

#include "support/folders_on_disk.h"
#include "support/check_kit.h"

namespace kenshin::testkit {
namespace {

constexpr const char kNotClaims[] = "特定健診の請求ファイルではありません";
constexpr const char kDestination[] = "送付先機関番号を確認してください（東湖県国保連合会　９５８９９０７１）";

TEST(ArchiveName, KindDigitThenDestinationDecideAlone) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
  } cases[] = {
      {"1311234567_95899071_201812060_1.zip", {kNoError}},
      {"1311234567_95899071_201812060_2.zip", {kNotClaims}},
      {"1311234567_13899071_201812060_2.zip", {kNotClaims}},  // only the first failing rule
      {"1311234567_95899072_201812060_1.zip", {kDestination}},
      {"1311234567_９５８９９０７１_201812060_1.zip", {kDestination}},  // full-width digits never match
      {"1311234567_95899071_201812060_１.zip", {kNotClaims}},
      // Shorter names shift the positions into the folder path.
      {"1311234567_9589071_201812060_1.zip", {kDestination}},
      {"1.zip", {kNotClaims}},  // the whole path is shorter than 35 characters
      // A longer name is read from its last 35 characters.
      {"x1311234567_95899071_201812060_1.zip", {kNoError}},
      {"1311234567_95899071_201812060_1x.zip", {kNotClaims}},
      // A renamed archive no longer matches the folder inside it.
      {"1311234567_95899071_201812070_1.zip",
       {"ＺＩＰファイル名を変更すると正しく処理できません、変更する前のＺＩＰファイル名に戻してください"}},
  };
  for (const Case& c : cases) {
    Archive archive = complete_archive();
    archive.name = c.name;
    CheckResult r = check(archive);
    EXPECT_EQ(r.lines, c.lines) << c.name;
    EXPECT_EQ(r.shown.size(), 1u) << c.name;
    EXPECT_EQ(r.desktop, std::vector<std::string>{"ERR.txt"}) << c.name;
  }
}

TEST(ArchiveName, CancelledOrEmptyChoiceEndsTheRunSilently) {
  for (const std::optional<std::string>& choice : {std::optional<std::string>(), std::optional<std::string>("")}) {
    TempDir desktop;
    FakePlatform platform(desktop.path(), choice);
    RunState run;
    RunResult result = run_check(run, platform);
    EXPECT_EQ(result.outcome, RunOutcome::kCancelled);
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_TRUE(testkit::list_folder(desktop.path()).empty());
  }
}

}  // namespace
}  // namespace kenshin::testkit

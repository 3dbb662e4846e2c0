#include "docs/pair_loop.h"

#include <gtest/gtest.h>

#include "claimchecks/claims_check.h"
#include "datachecks/data_check.h"
#include "report/report.h"
#include "support/check_kit.h"

namespace kenshin::docs {
namespace {

using testkit::TempDir;

// Counts the pairs the loop announces.
class CountingPlatform : public platform::Platform {
 public:
  std::string desktop_folder() override { return {}; }
  std::optional<std::string> choose_archive() override { return std::nullopt; }
  void show_report(const std::string&) override {}
  void pair_progress(int k, int n) override {
    if (k == last_k + 1) last_k = k;
    total = n;
  }
  int last_k = 0;
  int total = 0;
};

// Archives of more than 32767 pairs are checked like any other: every pair is
// visited in order and reported under its own names. The documents are
// missing from the archive, so each one fails to load.
TEST(PairLoop, MoreThan32767PairsAreAllChecked) {
  constexpr int kPairs = 32769;
  TempDir dir;
  testkit::write_zip(dir.path() + "/a.zip", {{"other.txt", ""}});
  platform::ZipArchive archive;
  ASSERT_EQ(archive.open(dir.path() + "/a.zip"), platform::ArchiveResult::kOk);
  RunState run;
  run.report_path = dir.path() + "/ERR.txt";
  run.data_folder = "DATA";
  run.claims_folder = "CLAIMS";
  std::vector<std::string> expected;
  for (int i = 1; i <= kPairs; ++i) {
    run.data_file_list.push_back(testkit::Archive::data_name(i));
    run.claims_file_list.push_back(testkit::Archive::claims_name(i));
    expected.push_back(run.data_file_list.back() + "の読込に失敗しました");
    expected.push_back(run.claims_file_list.back() + "の読込に失敗しました");
  }
  run.pair_count = kPairs;
  CountingPlatform platform;
  pair_loop(run, platform, archive, {datachecks::check_data_document, claimchecks::check_claims_document});
  report::close_report(run);
  EXPECT_EQ(platform.last_k, kPairs);
  EXPECT_EQ(platform.total, kPairs);
  EXPECT_EQ(report::read_report_lines(run.report_path), expected);
}

}  // namespace
}  // namespace kenshin::docs

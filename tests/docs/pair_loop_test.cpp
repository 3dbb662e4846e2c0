#include "docs/pair_loop.h"

#include <gtest/gtest.h>

#include "claimchecks/claims_check.h"
#include "datachecks/data_check.h"
#include "report/report.h"
#include "support/check_kit.h"

namespace kenshin::docs {
namespace {

using testkit::TempDir;

std::string settlement(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
         "<checkupClaim xmlns=\"http://tokuteikenshin.jp/checkup/2007\"><settlement>" +
         body + "</settlement></checkupClaim>\r\n";
}

std::string detail(int code) {
  return "<unitPriceDetail><amount value=\"100\"/><observation code=\"" + std::to_string(code) +
         "\"/></unitPriceDetail>";
}

const std::string kAllDetails = detail(1) + detail(2) + detail(3) + detail(4);

TEST(ClaimsPreRead, SetsClaimTypeAndDetailedItemFlags) {
  struct Case {
    const char* name;
    std::string document;
    double claim_type;
    int16_t anemia, ecg, fundus, creatinine;
  } cases[] = {
      {"type 2, items 1 and 3", settlement("<claimType code=\"2\"/>" + detail(1) + detail(3)), 2, 9, 0, 9, 0},
      {"type 4, all items", settlement("<claimType code=\"4\"/>" + kAllDetails), 4, 9, 9, 9, 9},
      {"type 3 never sets flags", settlement("<claimType code=\"3\"/>" + detail(2)), 3, 0, 0, 0, 0},
      {"type 1 never sets flags", settlement("<claimType code=\"1\"/>" + kAllDetails), 1, 0, 0, 0, 0},
      {"code absent", settlement(kAllDetails), 9, 0, 0, 0, 0},
      {"code 0", settlement("<claimType code=\"0\"/>"), 8, 0, 0, 0, 0},
      {"code 6", settlement("<claimType code=\"6\"/>"), 8, 0, 0, 0, 0},
      {"code not a number", settlement("<claimType code=\"A\"/>" + kAllDetails), 8, 0, 0, 0, 0},
      {"code empty", settlement("<claimType code=\"\"/>"), 8, 0, 0, 0, 0},
      {"code 02 reads as 2", settlement("<claimType code=\"02\"/>" + detail(4)), 2, 0, 0, 0, 9},
      {"code 1.5 is kept as is", settlement("<claimType code=\"1.5\"/>" + kAllDetails), 1.5, 0, 0, 0, 0},
      {"not well-formed", "<checkupClaim><settlement>", 0, 0, 0, 0, 0},
  };
  RunState run;
  for (const Case& c : cases) {
    std::optional<Document> doc = parse_document(c.document, Bindings::kClaims);
    // Left over from an earlier pair: everything set.
    run.claim_type = 4;
    run.anemia_detail_flag = run.ecg_detail_flag = run.fundus_detail_flag = run.creatinine_detail_flag = 9;
    claims_pre_read(run, doc ? &*doc : nullptr);
    EXPECT_EQ(run.claim_type, c.claim_type) << c.name;
    EXPECT_EQ(run.anemia_detail_flag, c.anemia) << c.name;
    EXPECT_EQ(run.ecg_detail_flag, c.ecg) << c.name;
    EXPECT_EQ(run.fundus_detail_flag, c.fundus) << c.name;
    EXPECT_EQ(run.creatinine_detail_flag, c.creatinine) << c.name;
  }
}

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

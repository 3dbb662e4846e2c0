#include "docs/pair_loop.h"

#include <gtest/gtest.h>

#include "support/check_kit.h"

namespace kenshin::docs {
namespace {

using testing::TempDir;
using testing::write_file;

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
  TempDir dir;
  RunState run;
  run.claims_folder = dir.path();
  run.claims_file_list = {"c.xml"};
  run.pair_index = 1;
  for (const Case& c : cases) {
    write_file(dir.path() + "/c.xml", c.document);
    // Left over from an earlier pair: everything set.
    run.claim_type = 4;
    run.anemia_detail_flag = run.ecg_detail_flag = run.fundus_detail_flag = run.creatinine_detail_flag = 9;
    claims_pre_read(run);
    EXPECT_EQ(run.claim_type, c.claim_type) << c.name;
    EXPECT_EQ(run.anemia_detail_flag, c.anemia) << c.name;
    EXPECT_EQ(run.ecg_detail_flag, c.ecg) << c.name;
    EXPECT_EQ(run.fundus_detail_flag, c.fundus) << c.name;
    EXPECT_EQ(run.creatinine_detail_flag, c.creatinine) << c.name;
  }
}

}  // namespace
}  // namespace kenshin::docs

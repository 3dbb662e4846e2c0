#include "extrachecks/findings_csv.h"

#include <gtest/gtest.h>

#include "extrachecks/extra_kit.h"

namespace kenshin::testkit {
namespace {

using extrachecks::CsvRow;

constexpr const char kBom[] = "\xEF\xBB\xBF";
constexpr const char kHeaderRow[] = "ペア番号,種別,ファイル名,保険者番号,受診券整理番号,受診者名,メッセージ\r\n";

TEST(FindingsCsv, FieldsAreQuotedOnlyWhenTheyMustBe) {
  std::vector<CsvRow> rows = {
      {"1", "data", "h1.xml", "06139998", "18100012345", "ケンシン　ジロウ", "plain"},
      {"", "archive", "a,b.zip", "", "", "say \"hi\"", "line\r\nbreak"},
      {"2", "settlement", "c2.xml", "", "", "lf\nonly", "cr\ronly"},
  };
  EXPECT_EQ(extrachecks::csv_text(rows), std::string(kBom) + kHeaderRow +
                                             "1,data,h1.xml,06139998,18100012345,ケンシン　ジロウ,plain\r\n"
                                             ",archive,\"a,b.zip\",,,\"say \"\"hi\"\"\",\"line\r\nbreak\"\r\n"
                                             "2,settlement,c2.xml,,,\"lf\nonly\",\"cr\ronly\"\r\n");
  EXPECT_EQ(extrachecks::csv_text({}), std::string(kBom) + kHeaderRow);
}

TEST(FindingsCsv, QuickCheckLinesAreTracedToTheirPairAndDocument) {
  RunState run;
  run.archive_path = "/home/user/1311234567_95899071_201812060_1.zip";
  run.data_file_list = {"h1.xml", "h2.xml"};
  run.claims_file_list = {"c1.xml", "c2.xml"};
  const std::string examinee1 = "ケンシン　ジロウ　保険者番号(06139998)　受診券整理番号(18100012345)";
  const std::string h1_a = "1,data,h1.xml,06139998,18100012345,ケンシン　ジロウ,a";
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::string> rows;  // as written in the file
  } cases[] = {
      {"no-error line", {kNoError}, {}},
      {"archive-level finding",
       {"特定健診の請求ファイルではありません"},
       {",archive,1311234567_95899071_201812060_1.zip,,,,特定健診の請求ファイルではありません"}},
      {"both documents of a pair",
       {"", examinee1, "○健診情報　h1.xml", "　a", "○決済情報　c1.xml", "　b"},
       {h1_a, "1,settlement,c1.xml,06139998,18100012345,ケンシン　ジロウ,b"}},
      {"claims document only, second pair",
       {"", "ナ　保険者番号(1)　受診券整理番号(2)", "○決済情報　c2.xml", "　b"},
       {"2,settlement,c2.xml,1,2,ナ,b"}},
      {"a name holding the labels",
       {"", "ア　保険者番号(X)　保険者番号(06139998)　受診券整理番号(3)", "○健診情報　h1.xml", "　a"},
       {"1,data,h1.xml,06139998,3,ア　保険者番号(X),a"}},
      {"load failure of the next pair's data document carries no examinee",
       {"", examinee1, "○健診情報　h1.xml", "　a", "h2.xmlの読込に失敗しました"},
       {h1_a, "2,data,h2.xml,,,,h2.xmlの読込に失敗しました"}},
      {"load failure of the claims document of a pair with a header",
       {"", examinee1, "○健診情報　h1.xml", "　a", "c1.xmlの読込に失敗しました"},
       {h1_a, "1,settlement,c1.xml,06139998,18100012345,ケンシン　ジロウ,c1.xmlの読込に失敗しました"}},
      {"missing examinee name",
       {"", examinee1, "○健診情報　h1.xml", "　a", "h2.xml", "　受診者名がありません", "○健診情報　h2.xml", "　b"},
       {h1_a, "2,data,h2.xml,,,,受診者名がありません", "2,data,h2.xml,,,,b"}},
  };
  for (const Case& c : cases) {
    std::string expected = std::string(kBom) + kHeaderRow;
    for (const std::string& row : c.rows) expected += row + "\r\n";
    EXPECT_EQ(extrachecks::csv_text(extrachecks::quick_check_rows(c.lines, run)), expected) << c.name;
  }
}

}  // namespace
}  // namespace kenshin::testkit

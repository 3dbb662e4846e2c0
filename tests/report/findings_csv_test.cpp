#include "report/findings_csv.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "report/report.h"
#include "run/run_failure.h"
#include "support/check_kit.h"

namespace kenshin::report {
namespace {

constexpr const char kBom[] = "\xEF\xBB\xBF";
constexpr const char kHeaderRow[] =
    "ペア番号,種別,ファイル名,保険者番号,受診券整理番号,受診者名,メッセージ,ルールID,項目コード,検出値,行番号\r\n";

Finding record(int pair, FindingKind kind, std::string document, std::string name, std::string insurer,
               std::string ticket, std::string message) {
  Finding f;
  f.pair = pair;
  f.kind = kind;
  f.document = std::move(document);
  f.examinee_name = std::move(name);
  f.insurer_number = std::move(insurer);
  f.ticket_number = std::move(ticket);
  f.message = std::move(message);
  return f;
}

Finding with_rule(Finding f, std::string rule_id, std::string value = {}, int line = 0, std::string item = {}) {
  f.rule_id = std::move(rule_id);
  f.value = std::move(value);
  f.line = line;
  f.item_code = std::move(item);
  return f;
}

TEST(FindingsCsv, FieldsAreQuotedOnlyWhenTheyMustBe) {
  std::vector<Finding> findings = {
      with_rule(record(1, FindingKind::kData, "h1.xml", "ケンシン　ジロウ", "06139998", "18100012345", "plain"),
                "data.example", "1,5", 42, "3F070000002327101"),
      record(0, FindingKind::kArchive, "a,b.zip", "", "", "say \"hi\"", "line\r\nbreak"),
      record(2, FindingKind::kSettlement, "c2.xml", "", "", "lf\nonly", "cr\ronly"),
      record(3, FindingKind::kCrossCheck, "ix08_V08.xml", "", "", "", "x"),
  };
  EXPECT_EQ(csv_text(findings), std::string(kBom) + kHeaderRow +
                                    "1,data,h1.xml,06139998,18100012345,ケンシン　ジロウ,plain,data.example,"
                                    "3F070000002327101,\"1,5\",42\r\n"
                                    ",archive,\"a,b.zip\",,\"say \"\"hi\"\"\",,\"line\r\nbreak\",,,,\r\n"
                                    "2,settlement,c2.xml,,\"lf\nonly\",,\"cr\ronly\",,,,\r\n"
                                    "3,cross-check,ix08_V08.xml,,,,x,,,,\r\n");
  EXPECT_EQ(csv_text({}), std::string(kBom) + kHeaderRow);
}

// The report operations, driven as the pair loop drives them, make one record
// for every finding line, with the pair, document and examinee the record
// header showed.
class FindingRecords : public ::testing::Test {
 public:
  void SetUp() override {
    run_.desktop_folder = dir_.path();
    run_.archive_path = "/home/user/1311234567_95899071_201812060_1.zip";
    run_.data_file_list = {"h1.xml", "h2.xml"};
    run_.claims_file_list = {"c1.xml", "c2.xml"};
    start_report(run_);
  }

  void pair(int index) {
    run_.pair_index = index;
    begin_data_document(run_);
  }
  void examinee(std::string name) {
    run_.examinee_name = std::move(name);
    run_.insurer_number = "06139998";
    run_.ticket_number = "18100012345";
  }

  testkit::TempDir dir_;
  RunState run_;
};

TEST_F(FindingRecords, EveryReportOperationRecordsWhereItsLineBelongs) {
  const std::string archive = "1311234567_95899071_201812060_1.zip";
  struct Case {
    const char* name;
    std::function<void(FindingRecords&)> steps;
    std::vector<Finding> expected;
  } cases[] = {
      {"the examinee as the header showed them, not as captured later",
       [](FindingRecords& t) {
         t.pair(2);
         report_finding(t.run_, "　a");
         t.examinee("ナ");
         report_finding(t.run_, "　b");
       },
       {record(2, FindingKind::kData, "h2.xml", "", "", "", "a"),
        record(2, FindingKind::kData, "h2.xml", "", "", "", "b")}},
      {"missing examinee name, after a pair whose examinee was shown",
       [](FindingRecords& t) {
         t.pair(1);
         t.examinee("ケンシン　ジロウ");
         report_finding(t.run_, "　a");
         t.pair(2);
         report_data_name_missing(t.run_, "　受診者名がありません");
         report_finding(t.run_, "　b");
       },
       {record(1, FindingKind::kData, "h1.xml", "ケンシン　ジロウ", "06139998", "18100012345", "a"),
        with_rule(record(2, FindingKind::kData, "h2.xml", "", "", "", "受診者名がありません"),
                  "data.examinee-name.absent"),
        record(2, FindingKind::kData, "h2.xml", "", "", "", "b")}},
      {"archive-level finding",
       [](FindingRecords& t) {
         testkit::FakePlatform platform(t.dir_.path(), std::nullopt);
         report_archive_finding(t.run_, platform, "特定健診の請求ファイルではありません");
       },
       {with_rule(record(0, FindingKind::kArchive, archive, "", "", "", "特定健診の請求ファイルではありません"),
                  "archive.name.not-submission")}},
      {"a rule's evidence: the table's id and item, the rule's value and line; the rule's own item wins",
       [](FindingRecords& t) {
         t.pair(1);
         begin_claims_document(t.run_);
         report_finding(t.run_, "　郵便番号を確認してください", Evidence{{}, "1600023", 25});
         t.pair(2);
         report_finding(t.run_, "　眼底検査（SCOTT分類)に１～９以外のコードが入っています", Evidence{{}, "0", 7});
         report_finding(t.run_, "　尿糖が未実施です", Evidence{"1A020000000190111", "true", 9});
       },
       {with_rule(record(1, FindingKind::kSettlement, "c1.xml", "", "", "", "郵便番号を確認してください"),
                  "settlement.postal-code.malformed", "1600023", 25),
        with_rule(record(2, FindingKind::kData, "h2.xml", "", "", "", "眼底検査（SCOTT分類)に１～９以外のコードが入っています"),
                  "data.fundus-scott.out-of-range", "0", 7, "9E100166300000011"),
        with_rule(record(2, FindingKind::kData, "h2.xml", "", "", "", "尿糖が未実施です"),
                  "data.urine-glucose.not-performed", "true", 9, "1A020000000190111")}},
  };
  for (Case& c : cases) {
    SetUp();
    c.steps(*this);
    abandon_report(run_);
    EXPECT_EQ(run_.findings, c.expected) << c.name;
  }
}

std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// ERR.txt and the CSV appear together or not at all: a CSV that cannot be
// written (here a pipe stands under its name, which is never replaced) leaves
// the earlier report, the pipe and the folder as they were.
TEST_F(FindingRecords, TheReportAndTheCsvAreBothWrittenOrBothLeftAlone) {
  const std::string report = dir_.path() + "/ERR.txt";
  std::ofstream(report, std::ios::binary) << "earlier";
  const std::string pipe = dir_.path() + "/pipe.csv", csv = dir_.path() + "/out.csv";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  auto names = [&] {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) found.push_back(entry.path().string());
    std::sort(found.begin(), found.end());
    return found;
  };
  const std::vector<std::string> before = names();

  pair(1);
  report_finding(run_, "　a");
  run_.csv_path = pipe;
  EXPECT_THROW(close_report(run_), RunFailure);
  EXPECT_EQ(contents(report), "earlier");
  EXPECT_EQ(names(), before);
  struct stat st {};
  ASSERT_EQ(::lstat(pipe.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  SetUp();
  pair(1);
  report_finding(run_, "　a");
  run_.csv_path = csv;
  close_report(run_);
  EXPECT_NE(contents(report), "earlier");
  EXPECT_EQ(contents(csv), csv_text(run_.findings));
}

}  // namespace
}  // namespace kenshin::report

#include "report/report.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "run/run_failure.h"
#include "support/check_kit.h"

namespace kenshin::report {
namespace {

using testing::TempDir;

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    run_.report_path = dir_.path() + "/ERR.txt";
    run_.data_file_list = {"h1.xml"};
    run_.claims_file_list = {"c1.xml"};
    run_.pair_index = 1;
    run_.examinee_name = "ケンシン　タロウ";
    run_.insurer_number = "06139998";
    run_.ticket_number = "18100012345";
  }
  void start_data_document() {
    run_.name_line_flag = 0;
    run_.data_file_line_flag = 0;
    run_.claims_file_line_flag = 9;
  }
  void start_claims_document() {
    run_.data_file_line_flag = 9;
    run_.claims_file_line_flag = 0;
  }
  std::vector<std::string> lines() {
    close_report(run_);
    return read_report_lines(run_.report_path);
  }
  std::string bytes() {
    close_report(run_);
    std::ifstream in(run_.report_path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  TempDir dir_;
  RunState run_;
};

const std::string kExaminee = "ケンシン　タロウ　保険者番号(06139998)　受診券整理番号(18100012345)";

TEST_F(ReportTest, HeaderIsWrittenOncePerPairBeforeEachDocumentsFindings) {
  start_data_document();
  report_finding(run_, "　報告区分は、１０固定です");
  report_finding(run_, "　性別がありません");
  start_claims_document();
  report_finding(run_, "　実施区分がありません");
  EXPECT_EQ(lines(), (std::vector<std::string>{"", kExaminee, "○健診情報　h1.xml", "　報告区分は、１０固定です",
                                               "　性別がありません", "○決済情報　c1.xml", "　実施区分がありません"}));
  EXPECT_EQ(run_.findings_flag, 9);
}

TEST_F(ReportTest, OnlyClaimsFindingsHaveNoDataFileLine) {
  start_data_document();
  start_claims_document();
  report_finding(run_, "　住所がありません");
  EXPECT_EQ(lines(), (std::vector<std::string>{"", kExaminee, "○決済情報　c1.xml", "　住所がありません"}));
}

TEST_F(ReportTest, IsCodePage932WithCrLf) {
  open_report(run_);
  write_line(run_, "○健診情報　①");
  write_line(run_, "");
  EXPECT_EQ(bytes(), "\x81\x9B\x8C\x92\x90\x66\x8F\xEE\x95\xF1\x81\x40\x87\x40\r\n\r\n");
}

TEST_F(ReportTest, ValuesNeverBreakALineAndUnwritableCharactersBecomeQuestionMarks) {
  run_.examinee_name = "ケンシン\r\nタロウ\t";
  run_.data_file_list = {"h\n1.xml"};
  start_data_document();
  report_finding(run_, "　性別がありません");
  open_report(run_);
  write_line(run_, "𠮷野\x7F\u2028家");
  EXPECT_EQ(lines(), (std::vector<std::string>{"", "ケンシン タロウ 　保険者番号(06139998)　受診券整理番号(18100012345)",
                                               "○健診情報　h 1.xml", "　性別がありません", "?野  家"}));
}

TEST_F(ReportTest, AReportThatCannotBeCreatedIsAFailureOfTheRun) {
  run_.report_path = dir_.path() + "/missing/ERR.txt";
  EXPECT_THROW(open_report(run_), RunFailure);
  EXPECT_NE(run_.report_open_flag, 9);
}

}  // namespace
}  // namespace kenshin::report

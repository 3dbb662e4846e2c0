#include "report/report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "run/run_failure.h"
#include "support/check_kit.h"

namespace kenshin::report {
namespace {

using testkit::TempDir;

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    run_.report_path = dir_.path() + "/ERR.txt";
    run_.data_file_list = {"h1.xml"};
    run_.claims_file_list = {"c1.xml"};
    run_.pair_index = 1;
  }
  // A data document whose examinee the data checks have captured.
  void start_data_document() {
    begin_data_document(run_);
    run_.examinee_name = "ケンシン　タロウ";
    run_.insurer_number = "06139998";
    run_.ticket_number = "18100012345";
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
  begin_claims_document(run_);
  report_finding(run_, "　実施区分がありません");
  EXPECT_EQ(lines(), (std::vector<std::string>{"", kExaminee, "○健診情報　h1.xml", "　報告区分は、１０固定です",
                                               "　性別がありません", "○決済情報　c1.xml", "　実施区分がありません"}));
  EXPECT_EQ(run_.findings_flag, 9);
}

TEST_F(ReportTest, OnlyClaimsFindingsHaveNoDataFileLine) {
  start_data_document();
  begin_claims_document(run_);
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
  run_.data_file_list = {"h\n1.xml"};
  start_data_document();
  run_.examinee_name = "ケンシン\r\nタロウ\t";
  report_finding(run_, "　性別がありません");
  open_report(run_);
  write_line(run_, "𠮷野\x7F\u2028家");
  EXPECT_EQ(lines(), (std::vector<std::string>{"", "ケンシン タロウ 　保険者番号(06139998)　受診券整理番号(18100012345)",
                                               "○健診情報　h 1.xml", "　性別がありません", "?野  家"}));
}

TEST_F(ReportTest, EachDataDocumentStartsANewRecordWithItsOwnExaminee) {
  start_data_document();
  report_finding(run_, "　性別がありません");
  begin_claims_document(run_);
  run_.data_file_list.push_back("h2.xml");
  run_.claims_file_list.push_back("c2.xml");
  run_.pair_index = 2;
  begin_data_document(run_);  // the second document fails to load: nothing captured
  report_load_failure(run_, run_.data_file());
  begin_claims_document(run_);
  report_finding(run_, "　住所がありません");
  EXPECT_EQ(lines(), (std::vector<std::string>{"", kExaminee, "○健診情報　h1.xml", "　性別がありません",
                                               "h2.xmlの読込に失敗しました", "", "　保険者番号()　受診券整理番号()",
                                               "○決済情報　c2.xml", "　住所がありません"}));
}

TEST_F(ReportTest, WithoutANameTheFileNameStandsAloneAboveTheMessage) {
  start_data_document();
  report_data_name_missing(run_, "　受診者名がありません");
  report_finding(run_, "　性別がありません");
  begin_claims_document(run_);
  report_claims_name_missing(run_, "　受診者名がありません");
  report_finding(run_, "　住所がありません");
  EXPECT_EQ(lines(), (std::vector<std::string>{"h1.xml", "　受診者名がありません", "○健診情報　h1.xml",
                                               "　性別がありません", "c1.xml", "　受診者名がありません",
                                               "○決済情報　c1.xml", "　住所がありません"}));
}

TEST_F(ReportTest, AReportThatCannotBeCreatedIsAFailureOfTheRun) {
  run_.report_path = dir_.path() + "/missing/ERR.txt";
  EXPECT_THROW(open_report(run_), RunFailure);
  EXPECT_NE(run_.report_open_flag, 9);
}

// A line longer than the stream's buffer reaches the disk while it is
// written; a short one only when the report is closed. The disk is "full" for
// a child process whose files may not grow past 1 KiB; either way the earlier
// report stays and no temporary file is left.
TEST_F(ReportTest, AFullDiskFailsTheWriteOrTheCloseAndKeepsTheEarlierReport) {
  testkit::write_file(run_.report_path, "earlier\r\n");
  auto with_full_disk = [this](auto&& steps) {
    rlimit limit{1024, 1024};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) std::_Exit(2);
    std::signal(SIGXFSZ, SIG_IGN);
    bool failed = false;
    try {
      steps();
    } catch (const RunFailure&) {
      failed = true;
    }
    abandon_report(run_);
    std::_Exit(failed ? 0 : 1);
  };
  EXPECT_EXIT(with_full_disk([this] {
                open_report(run_);
                write_line(run_, std::string(BUFSIZ * 2, 'x'));
              }),
              ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(with_full_disk([this] {
                open_report(run_);
                write_line(run_, std::string(1000, 'x'));
                write_line(run_, std::string(1000, 'x'));
                close_report(run_);
              }),
              ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(bytes(), "earlier\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), std::filesystem::directory_iterator()), 1);
}

}  // namespace
}  // namespace kenshin::report

#include "report/report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
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

  TempDir dir_;
  RunState run_;
};

// Only what would break a line becomes a blank; TAB, DEL and the other
// characters of code page 932 stay as the document has them.
TEST_F(ReportTest, ValuesNeverBreakALineAndAreOtherwiseWrittenAsTheyStand) {
  const struct {
    const char* name;
    std::string value;
    std::string line;
  } cases[] = {
      {"CR LF is one break", "ケンシン\r\nタロウ", "ケンシン タロウ"},
      {"lone CR", "a\rb", "a b"},
      {"lone LF", "a\nb", "a b"},
      {"two LF", "a\n\nb", "a  b"},
      {"NEL", "a\u0085b", "a b"},
      {"line separator", "a\u2028b", "a b"},
      {"paragraph separator", "a\u2029b", "a b"},
      {"TAB stays", "シンサ\tハナコ", "シンサ\tハナコ"},
      {"DEL stays", "a\x7F" "b", "a\x7F" "b"},
      {"outside code page 932", "𠮷野", "?野"},
  };
  for (const auto& c : cases) {
    run_.data_file_list = {"h\n1.xml"};
    begin_data_document(run_);
    run_.examinee_name = c.value;
    run_.insurer_number = "06139998";
    run_.ticket_number = "18100012345";
    report_finding(run_, "　性別がありません");
    close_report(run_);
    EXPECT_EQ(read_report_lines(run_.report_path),
              (std::vector<std::string>{"", c.line + "　保険者番号(06139998)　受診券整理番号(18100012345)",
                                        "○健診情報　h 1.xml", "　性別がありません"}))
        << c.name;
  }
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
  EXPECT_EQ(testkit::read_file(run_.report_path), "earlier\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), std::filesystem::directory_iterator()), 1);
}

}  // namespace
}  // namespace kenshin::report

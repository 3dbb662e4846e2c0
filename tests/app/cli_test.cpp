#include <gtest/gtest.h>

#include <filesystem>

#include "report/report.h"
#include "support/check_kit.h"
#include "version.h"

namespace fs = std::filesystem;

namespace kenshin::testkit {
namespace {

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    desktop_ = dir_.path() + "/desktop";
    fs::create_directories(desktop_);
    archive_ = dir_.path() + "/" + kArchiveName;
    write_zip(archive_, complete_archive().entries);
  }
  std::vector<std::string> report() { return report::read_report_lines(desktop_ + "/ERR.txt"); }

  TempDir dir_;
  std::string desktop_;
  std::string archive_;
};

TEST_F(Cli, ExitStatusTellsWhetherTheReportHoldsFindings) {
  CliResult clean = run_cli({"--desktop", desktop_, archive_});
  EXPECT_EQ(clean.status, 0) << clean.err;
  EXPECT_EQ(clean.out, std::string(kNoError) + "\n");
  EXPECT_EQ(report(), std::vector<std::string>{kNoError});

  std::string wrong_kind = dir_.path() + "/1311234567_95899071_201812060_2.zip";
  fs::copy_file(archive_, wrong_kind);
  CliResult findings = run_cli({"--quiet", "--desktop", desktop_, wrong_kind});
  EXPECT_EQ(findings.status, 1);
  EXPECT_EQ(findings.out, "");
  EXPECT_EQ(report(), std::vector<std::string>{"特定健診の請求ファイルではありません"});
}

TEST_F(Cli, RelativeArchivePathsAreReadFromTheCurrentFolder) {
  CliResult r = run_cli({"--desktop", desktop_, std::string("./") + kArchiveName}, dir_.path());
  EXPECT_EQ(r.status, 0) << r.err;
  // A shortened name is read together with characters of the folder path:
  // here the destination number still falls on its place, the stem does not.
  fs::copy_file(archive_, dir_.path() + "/95899071_201812060_1.zip");
  r = run_cli({"--desktop", desktop_, "95899071_201812060_1.zip"}, dir_.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(report(), std::vector<std::string>{
                          "ＺＩＰファイル名を変更すると正しく処理できません、変更する前のＺＩＰファイル名に戻してください"});
}

TEST_F(Cli, UsageErrorsExitWithTwoAndOneLine) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
  } cases[] = {
      {"no archive", {"--desktop", desktop_}},
      {"unknown option", {"--fast", archive_}},
      {"missing archive", {"--desktop", desktop_, dir_.path() + "/none.zip"}},
      {"archive is a folder", {"--desktop", desktop_, dir_.path()}},
      {"desktop missing", {"--desktop", dir_.path() + "/nowhere", archive_}},
      {"desktop without value", {archive_, "--desktop"}},
      {"two archives", {"--desktop", desktop_, archive_, archive_}},
  };
  for (const Case& c : cases) {
    CliResult r = run_cli(c.args);
    EXPECT_EQ(r.status, 2) << c.name;
    EXPECT_EQ(r.err.rfind("kenshin-check: ", 0), 0u) << c.name << ": " << r.err;
    EXPECT_EQ(r.out, "") << c.name;
  }
  EXPECT_FALSE(fs::exists(desktop_ + "/ERR.txt"));
  CliResult folder = run_cli({"--desktop", desktop_, dir_.path()});
  EXPECT_EQ(folder.err.substr(0, folder.err.find('\n')), "kenshin-check: " + dir_.path() + ": is a folder");
}

TEST_F(Cli, VersionHelpAndQuietHaveShortForms) {
  for (const char* option : {"--version", "-V"}) {
    CliResult v = run_cli({option});
    EXPECT_EQ(v.status, 0) << option;
    EXPECT_EQ(v.out, std::string("kenshin-check ") + kVersion + "\n") << option;
  }
  for (const char* option : {"--help", "-h"}) {
    CliResult h = run_cli({option});
    EXPECT_EQ(h.status, 0) << option;
    EXPECT_NE(h.out.find("--desktop DIR"), std::string::npos) << option;
  }
  CliResult quiet = run_cli({"-q", "--desktop", desktop_, archive_});
  EXPECT_EQ(quiet.status, 0) << quiet.err;
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(report(), std::vector<std::string>{kNoError});
}

TEST_F(Cli, FailuresOfTheCheckerExitWithThree) {
  // A report path that is a folder cannot be written.
  fs::create_directories(desktop_ + "/ERR.txt");
  CliResult r = run_cli({"--desktop", desktop_, archive_});
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("ERR.txt"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
}

// A link named ERR.txt is replaced by the report, never written through: here
// it points at a device that would fail every write.
TEST_F(Cli, ALinkNamedErrTxtIsReplacedNotFollowed) {
  fs::create_symlink("/dev/full", desktop_ + "/ERR.txt");
  CliResult r = run_cli({"--quiet", "--desktop", desktop_, archive_});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(fs::is_symlink(desktop_ + "/ERR.txt"));
  EXPECT_EQ(report(), std::vector<std::string>{kNoError});
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

}  // namespace
}  // namespace kenshin::testkit

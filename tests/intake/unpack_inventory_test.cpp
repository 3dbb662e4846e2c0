#include "intake/unpack_inventory.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/folders.h"
#include "report/report.h"
#include "support/check_kit.h"

namespace fs = std::filesystem;

namespace kenshin::testing {
namespace {

constexpr const char kUnpackFailed[] = "ＺＩＰファイルの展開に失敗しました";
constexpr const char kRenamed[] =
    "ＺＩＰファイル名を変更すると正しく処理できません、変更する前のＺＩＰファイル名に戻してください";
constexpr const char kEmpty[] = "ＤＡＴＡフォルダ又はＣＬＡＩＭＳフォルダが存在しないか、件数が０件です";
constexpr const char kCounts[] = "データファイルと決済情報ファイルの件数が違います";

// Points $TMPDIR at a folder of the test's own, so that what a run leaves
// behind in its working folder can be seen.
class Intake : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("TMPDIR");
    old_tmpdir_ = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("TMPDIR", tmp_.path().c_str(), 1);
  }
  void TearDown() override {
    EXPECT_TRUE(platform::list_folder(tmp_.path()).empty()) << "the working folder was left behind";
    if (old_tmpdir_) ::setenv("TMPDIR", old_tmpdir_->c_str(), 1);
    else ::unsetenv("TMPDIR");
  }
  TempDir tmp_;
  std::optional<std::string> old_tmpdir_;
};

std::string unreadable(const std::string& name) { return name + "の読込に失敗しました"; }

Archive with_documents(const std::vector<std::string>& data, const std::vector<std::string>& claims) {
  Archive archive;
  for (const std::string& name : data) archive.add("DATA/" + name, XmlDoc::data().text());
  for (const std::string& name : claims) archive.add("CLAIMS/" + name, XmlDoc::claims().text());
  return archive;
}

TEST_F(Intake, ArchiveLevelFindingsStandAlone) {
  std::vector<std::string> ten, nine;
  for (int i = 1; i <= 10; ++i) ten.push_back(Archive::data_name(i));
  for (int i = 1; i <= 9; ++i) nine.push_back(Archive::claims_name(i));
  Archive renamed_top = complete_archive();
  for (ZipEntry& e : renamed_top.entries) e.raw_name = "other/" + e.raw_name;
  Archive no_data;
  no_data.add("CLAIMS/" + Archive::claims_name(1), XmlDoc::claims().text());
  Archive only_bak = with_documents({"h1.xml.bak"}, {"c1.xml"});
  Archive unsafe = complete_archive();
  unsafe.entries.push_back(ZipEntry{"../escaped.xml", "x"});

  struct Case {
    const char* name;
    Archive archive;
    std::vector<std::string> lines;
  } cases[] = {
      {"top folder named differently", renamed_top, {kRenamed}},
      {"no DATA folder", no_data, {kEmpty}},
      {"DATA holds no document", only_bak, {kEmpty}},
      {"ten data documents, nine claims", with_documents(ten, nine), {kCounts}},
      {"entry outside the folder", unsafe, {kUnpackFailed}},
  };
  for (const Case& c : cases) {
    CheckResult r = check(c.archive);
    EXPECT_EQ(r.result.outcome, RunOutcome::kFindings) << c.name;
    EXPECT_EQ(r.lines, c.lines) << c.name;
    EXPECT_EQ(r.shown.size(), 1u) << c.name;
    EXPECT_EQ(r.desktop, std::vector<std::string>{"ERR.txt"}) << c.name;
  }
}

TEST_F(Intake, FilesThatAreNotZipArchivesFailToUnpack) {
  TempDir dir;
  std::string desktop = dir.path() + "/desktop";
  fs::create_directories(desktop);
  std::string path = dir.path() + "/" + kArchiveName;
  Archive empty;  // unused: the archive file is overwritten below
  FakePlatform platform(desktop, path);
  write_file(path, "PK\x03\x04 this is not really a zip archive");
  RunState run;
  RunResult result = run_check(run, platform);
  EXPECT_EQ(result.outcome, RunOutcome::kFindings);
  EXPECT_EQ(report::read_report_lines(desktop + "/ERR.txt"), std::vector<std::string>{kUnpackFailed});
}

TEST_F(Intake, UnpackerFailureIsReported) {
  TempDir dir;
  FakePlatform platform(dir.path(), dir.path() + "/" + kArchiveName);
  platform.unpack_result = 1;
  CheckResult r = check_with(complete_archive(), platform, dir.path() + "/" + kArchiveName);
  EXPECT_EQ(r.lines, std::vector<std::string>{kUnpackFailed});
}

TEST_F(Intake, DocumentsAreListedByTheirEndingInAnyCase) {
  // A folder whose name ends in xml is listed like a document and fails to load.
  Archive archive = with_documents({"h2.XML", "h1.xml", "h3.xml.bak"}, {"c1.xml", "c2.Xml"});
  archive.entries.push_back(ZipEntry{std::string(kArchiveStem) + "/DATA/h0.xml/", "", ZipEntry::kDirectory});
  archive.add("CLAIMS/c0.xml", "<broken");  // its pair has no examinee to compare with
  CheckResult r = check(archive);
  EXPECT_EQ(r.lines, (std::vector<std::string>{unreadable("h0.xml"), unreadable("c0.xml")}));
}

TEST_F(Intake, UnreadableDocumentsWriteOneLineEach) {
  Archive archive;
  archive.add("DATA/" + Archive::data_name(1), "<ClinicalDocument>")
      .add("CLAIMS/" + Archive::claims_name(1), "not xml")
      .add("DATA/" + Archive::data_name(2), XmlDoc::data().text())
      .add("CLAIMS/" + Archive::claims_name(2), XmlDoc::claims().text());
  CheckResult r = check(archive);
  EXPECT_EQ(r.result.outcome, RunOutcome::kFindings);
  EXPECT_EQ(r.lines,
            (std::vector<std::string>{unreadable(Archive::data_name(1)), unreadable(Archive::claims_name(1))}));
}

TEST_F(Intake, WindowsMadeArchivesUnpackWithTheirJapaneseNames) {
  // Code page 932 names without the UTF-8 flag, folders separated by '\'; the
  // second byte of 表 (0x95 0x5C) is the same byte as '\'.
  std::string stem = kArchiveStem;
  Archive archive;
  archive.entries = {
      ZipEntry{stem + "\\DATA\\" + Archive::data_name(1), XmlDoc::data().text()},
      ZipEntry{stem + "\\DATA\\\x95\x5C.xml", XmlDoc::data().text()},
      ZipEntry{stem + "\\CLAIMS\\" + Archive::claims_name(1), XmlDoc::claims().text()},
      ZipEntry{stem + "\\CLAIMS\\\x83\x5C\x94\x5C.xml", "<broken"},
  };
  CheckResult r = check(archive);
  EXPECT_EQ(r.lines, std::vector<std::string>{unreadable("ソ能.xml")});
}

TEST_F(Intake, AFolderOfTheUsersNamedLikeTheArchiveIsLeftAlone) {
  TempDir dir;
  std::string desktop = dir.path() + "/desktop";
  write_file(desktop + "/" + kArchiveStem + "/DATA/mine.txt", "keep me");
  std::string path = dir.path() + "/" + kArchiveName;
  FakePlatform platform(desktop, path);
  CheckResult r = check_with(complete_archive(), platform, path);
  EXPECT_EQ(r.lines, std::vector<std::string>{kNoError});
  EXPECT_EQ(r.desktop.size(), 2u);
  std::ifstream kept(desktop + "/" + kArchiveStem + "/DATA/mine.txt");
  std::string content((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "keep me");
}

TEST_F(Intake, ASecondRunReplacesTheFirstReport) {
  TempDir dir;
  std::string path = dir.path() + "/" + kArchiveName;
  FakePlatform platform(dir.path(), path);
  Archive broken;
  broken.add("DATA/h1.xml", "<x").add("CLAIMS/c1.xml", "<y");
  check_with(broken, platform, path);
  CheckResult second = check_with(complete_archive(), platform, path);
  EXPECT_EQ(second.lines, std::vector<std::string>{kNoError});
}

TEST(DocumentNames, KeepsXmlEndingsAndSortsIgnoringCase) {
  EXPECT_EQ(intake::document_names({"b.xml", "A.XML", "a.xml", "c.xml.bak", "xml", "d.txt", "C.xMl"}),
            (std::vector<std::string>{"A.XML", "a.xml", "b.xml", "C.xMl", "xml"}));
}

}  // namespace
}  // namespace kenshin::testing

#include "intake/unpack_inventory.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "platform/folders.h"
#include "support/check_kit.h"

namespace kenshin::testkit {
namespace {

constexpr const char kUnpackFailed[] = "ＺＩＰファイルの展開に失敗しました";
constexpr const char kRenamed[] =
    "ＺＩＰファイル名を変更すると正しく処理できません、変更する前のＺＩＰファイル名に戻してください";
constexpr const char kEmpty[] = "ＤＡＴＡフォルダ又はＣＬＡＩＭＳフォルダが存在しないか、件数が０件です";
constexpr const char kCounts[] = "データファイルと決済情報ファイルの件数が違います";

// Points $TMPDIR at a folder of the test's own, so that a working folder left
// behind by a run is seen.
class Intake : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("TMPDIR", tmp_.path().c_str(), 1); }
  void TearDown() override {
    EXPECT_TRUE(platform::list_folder(tmp_.path()).empty()) << "the working folder was left behind";
    ::unsetenv("TMPDIR");
  }
  // Checks the archive with the desktop and the archive in a folder of their own.
  CheckResult run(const Archive& archive, std::optional<int> unpack_result = std::nullopt) {
    FakePlatform platform(dir_.path(), dir_.path() + "/" + archive.name);
    platform.unpack_result = unpack_result;
    return check_with(archive, platform, dir_.path() + "/" + archive.name);
  }
  TempDir tmp_, dir_;
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
  Archive unsafe = complete_archive();
  unsafe.entries.push_back(ZipEntry{"../escaped.xml", "x"});
  struct Case {
    const char* name;
    Archive archive;
    std::vector<std::string> lines;
    std::optional<int> unpack_result = std::nullopt;
  } cases[] = {
      {"unpacker fails", complete_archive(), {kUnpackFailed}, 1},
      {"entry outside the folder", unsafe, {kUnpackFailed}},
      {"top folder named differently", renamed_top, {kRenamed}},
      {"no DATA folder", with_documents({}, {"c1.xml"}), {kEmpty}},
      {"DATA holds no document", with_documents({"h1.xml.bak"}, {"c1.xml"}), {kEmpty}},
      {"ten data documents, nine claims", with_documents(ten, nine), {kCounts}},
  };
  for (const Case& c : cases) {
    CheckResult r = run(c.archive, c.unpack_result);
    EXPECT_EQ(r.result.outcome, RunOutcome::kFindings) << c.name;
    EXPECT_EQ(r.lines, c.lines) << c.name;
    EXPECT_EQ(r.shown.size(), 1u) << c.name;
  }
  EXPECT_FALSE(std::ifstream(dir_.path() + "/escaped.xml")) << "an entry was written outside the working folder";
}

TEST_F(Intake, DocumentsAreListedByTheirEndingInAnyCaseAndUnreadableOnesWriteOneLine) {
  // A folder whose name ends in xml is listed like a document and fails to load.
  Archive archive = with_documents({"h2.XML", "h1.xml", "h3.xml.bak"}, {"c1.xml", "c2.Xml"});
  archive.entries.push_back(ZipEntry{std::string(kArchiveStem) + "/DATA/h0.xml/", "", ZipEntry::kDirectory});
  archive.add("CLAIMS/c0.xml", "<broken");
  EXPECT_EQ(run(archive).lines, (std::vector<std::string>{unreadable("h0.xml"), unreadable("c0.xml")}));
}

TEST_F(Intake, DocumentFoldersAreFoundWhateverTheCaseOfTheirNames) {
  for (const char* data_folder : {"data", "Data"}) {
    Archive archive;
    archive.add(std::string(data_folder) + "/" + Archive::data_name(1), XmlDoc::data().text());
    archive.add("claims/" + Archive::claims_name(1), XmlDoc::claims().text());
    CheckResult r = run(archive);
    EXPECT_EQ(r.result.outcome, RunOutcome::kClean) << data_folder;
    EXPECT_EQ(r.lines, std::vector<std::string>{kNoError}) << data_folder;
  }
}

TEST_F(Intake, WindowsMadeArchivesUnpackWithTheirJapaneseNames) {
  // Code page 932 names without the UTF-8 flag, folders separated by '\'; the
  // second bytes of 表, ソ and 能 are the byte of '\'.
  std::string stem = kArchiveStem;
  Archive archive;
  archive.entries = {
      ZipEntry{stem + "\\DATA\\" + Archive::data_name(1), XmlDoc::data().text()},
      ZipEntry{stem + "\\DATA\\\x95\x5C.xml", XmlDoc::data().text()},
      ZipEntry{stem + "\\CLAIMS\\" + Archive::claims_name(1), XmlDoc::claims().text()},
      ZipEntry{stem + "\\CLAIMS\\\x83\x5C\x94\x5C.xml", "<broken"},
  };
  EXPECT_EQ(run(archive).lines, std::vector<std::string>{unreadable("ソ能.xml")});
}

TEST_F(Intake, TheDesktopGetsTheReportAndNothingElse) {
  // A folder of the user's named like the archive, unpacked by hand earlier.
  write_file(dir_.path() + "/" + kArchiveStem + "/DATA/mine.txt", "keep me");
  Archive broken;
  broken.add("DATA/h1.xml", "<x").add("CLAIMS/c1.xml", "<y");
  run(broken);
  CheckResult second = run(complete_archive());  // replaces the first run's report
  EXPECT_EQ(second.lines, std::vector<std::string>{kNoError});
  std::vector<std::string> expected = {kArchiveStem, kArchiveName, "ERR.txt"};
  std::sort(second.desktop.begin(), second.desktop.end());
  EXPECT_EQ(second.desktop, expected);
  std::string kept;
  std::getline(std::ifstream(dir_.path() + "/" + kArchiveStem + "/DATA/mine.txt"), kept);
  EXPECT_EQ(kept, "keep me");
}

TEST(DocumentNames, KeepsXmlEndingsAndSortsIgnoringCase) {
  EXPECT_EQ(intake::document_names({"b.xml", "A.XML", "a.xml", "c.xml.bak", "xml", "d.txt", "C.xMl"}),
            (std::vector<std::string>{"A.XML", "a.xml", "b.xml", "C.xMl", "xml"}));
}

}  // namespace
}  // namespace kenshin::testkit

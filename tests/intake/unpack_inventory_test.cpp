#include "intake/unpack_inventory.h"

#include <gtest/gtest.h>

#include <fstream>

#include "report/report.h"
#include "support/check_kit.h"

namespace kenshin::testkit {
namespace {

constexpr const char kUnpackFailed[] = "ＺＩＰファイルの展開に失敗しました";
constexpr const char kRenamed[] =
    "ＺＩＰファイル名を変更すると正しく処理できません、変更する前のＺＩＰファイル名に戻してください";
constexpr const char kEmpty[] = "ＤＡＴＡフォルダ又はＣＬＡＩＭＳフォルダが存在しないか、件数が０件です";
constexpr const char kCounts[] = "データファイルと決済情報ファイルの件数が違います";

class Intake : public ::testing::Test {
 protected:
  // Checks the archive with the desktop and the archive in a folder of their own.
  CheckResult run(const Archive& archive) {
    FakePlatform platform(dir_.path(), dir_.path() + "/" + archive.name);
    return check_with(archive, platform, dir_.path() + "/" + archive.name);
  }
  TempDir dir_;
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
  Archive two_pairs = with_documents({Archive::data_name(1), Archive::data_name(2)},
                                     {Archive::claims_name(1), Archive::claims_name(2)});
  two_pairs.entries.front().content = "<broken";  // a finding in the first pair
  two_pairs.add("notes.txt", "beside the documents");
  const std::string top = std::string(kArchiveStem) + "/";
  struct Case {
    const char* name;
    Archive archive;
    std::vector<std::string> lines;
    std::optional<platform::ArchiveResult> read_result = std::nullopt;
    std::string damaged = "";  // an entry whose data is damaged
  } cases[] = {
      {"the archive cannot be read", complete_archive(), {kUnpackFailed}, platform::ArchiveResult::kCannotOpen},
      {"entry outside the folder", unsafe, {kUnpackFailed}},
      {"top folder named differently", renamed_top, {kRenamed}},
      {"no DATA folder", with_documents({}, {"c1.xml"}), {kEmpty}},
      {"DATA holds no document", with_documents({"h1.xml.bak"}, {"c1.xml"}), {kEmpty}},
      {"ten data documents, nine claims", with_documents(ten, nine), {kCounts}},
      {"damaged last document, after a finding", two_pairs, {kUnpackFailed}, std::nullopt,
       top + "CLAIMS/" + Archive::claims_name(2)},
      {"damaged file beside the documents", two_pairs, {kUnpackFailed}, std::nullopt, top + "notes.txt"},
      {"damaged file and the top folder named differently", renamed_top, {kUnpackFailed}, std::nullopt,
       renamed_top.entries.back().raw_name},
      {"damaged file and nine claims for ten", with_documents(ten, nine), {kUnpackFailed}, std::nullopt,
       top + "DATA/" + ten.back()},
  };
  for (const Case& c : cases) {
    std::string path = dir_.path() + "/" + c.archive.name;
    write_zip(path, c.archive.entries);
    if (!c.damaged.empty()) damage_entry(path, c.damaged);
    FakePlatform platform(dir_.path(), path);
    platform.read_result = c.read_result;
    RunState state;
    EXPECT_EQ(run_check(state, platform).outcome, RunOutcome::kFindings) << c.name;
    EXPECT_EQ(report::read_report_lines(dir_.path() + "/ERR.txt"), c.lines) << c.name;
    EXPECT_EQ(platform.shown.size(), 1u) << c.name;
  }
  EXPECT_FALSE(std::ifstream(dir_.path() + "/escaped.xml")) << "an entry was written outside the archive";
}

TEST_F(Intake, DocumentsAreListedByTheirEndingInAnyCaseAndUnreadableOnesWriteOneLine) {
  // A folder whose name ends in xml is listed like a document and fails to load.
  Archive archive = with_documents({"h2.XML", "h1.xml", "h3.xml.bak"}, {"c1.xml", "c2.Xml"});
  archive.entries.push_back(ZipEntry{std::string(kArchiveStem) + "/DATA/h0.xml/", "", ZipEntry::kDirectory});
  archive.add("CLAIMS/c0.xml", "<broken");
  EXPECT_EQ(run(archive).lines, (std::vector<std::string>{unreadable("h0.xml"), unreadable("c0.xml")}));
}

Archive in_folders(const std::string& data_folder, const std::string& claims_folder, const XmlDoc& data, int n = 1) {
  Archive archive;
  archive.add(data_folder + "/" + Archive::data_name(n), data.text());
  archive.add(claims_folder + "/" + Archive::claims_name(n), XmlDoc::claims().text());
  return archive;
}

TEST_F(Intake, DocumentFoldersAreFoundWhateverTheCaseOfTheirNames) {
  // As on Windows, where the files of data/ land in DATA/: one folder, one listing.
  Archive merged = in_folders("DATA", "CLAIMS", XmlDoc::data());
  for (const ZipEntry& e :
       in_folders("data", "claims", XmlDoc::data().remove("//a:recordTarget/a:patientRole/a:patient/a:name"), 2).entries) {
    merged.entries.push_back(e);
  }
  struct Case {
    const char* name;
    Archive archive;
    std::vector<std::string> lines;
  } cases[] = {
      {"data and claims", in_folders("data", "claims", XmlDoc::data()), {kNoError}},
      {"Data and CLAIMS", in_folders("Data", "CLAIMS", XmlDoc::data()), {kNoError}},
      {"DATA and data, CLAIMS and claims", merged,
       {Archive::data_name(2), "　受診者名がありません", "○決済情報　" + Archive::claims_name(2),
        "　データファイルと決済情報ファイルの受診者名が違います"}},
  };
  for (const Case& c : cases) EXPECT_EQ(run(c.archive).lines, c.lines) << c.name;
}

TEST_F(Intake, WindowsMadeArchivesAreReadWithTheirJapaneseNames) {
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

TEST(DocumentNames, KeepsXmlEndingsAndSortsIgnoringCase) {
  EXPECT_EQ(intake::document_names({"b.xml", "A.XML", "a.xml", "c.xml.bak", "xml", "d.txt", "C.xMl"}),
            (std::vector<std::string>{"A.XML", "a.xml", "b.xml", "C.xMl", "xml"}));
}

}  // namespace
}  // namespace kenshin::testkit

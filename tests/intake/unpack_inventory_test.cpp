#include "intake/unpack_inventory.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "report/report.h"
#include "support/check_kit.h"
#include "support/folders_on_disk.h"

namespace kenshin::testkit {
namespace {

constexpr const char kNotClaims[] = "特定健診の請求ファイルではありません";
constexpr const char kDestination[] = "送付先機関番号を確認してください（東湖県国保連合会　９５８９９０７１）";
constexpr const char kUnpackFailed[] = "ＺＩＰファイルの展開に失敗しました";
constexpr const char kRenamed[] =
    "ＺＩＰファイル名を変更すると正しく処理できません、変更する前のＺＩＰファイル名に戻してください";
constexpr const char kEmpty[] = "ＤＡＴＡフォルダ又はＣＬＡＩＭＳフォルダが存在しないか、件数が０件です";
constexpr const char kCounts[] = "データファイルと決済情報ファイルの件数が違います";

std::string unreadable(const std::string& name) { return name + "の読込に失敗しました"; }

Archive named(const std::string& name) {
  Archive archive = complete_archive();
  archive.name = name;
  return archive;
}

Archive with_documents(const std::vector<std::string>& data, const std::vector<std::string>& claims) {
  Archive archive;
  for (const std::string& name : data) archive.add("DATA/" + name, XmlDoc::data().text());
  for (const std::string& name : claims) archive.add("CLAIMS/" + name, XmlDoc::claims().text());
  return archive;
}

Archive in_folders(const std::string& data_folder, const std::string& claims_folder, const XmlDoc& data, int n = 1) {
  Archive archive;
  archive.add(data_folder + "/" + Archive::data_name(n), data.text());
  archive.add(claims_folder + "/" + Archive::claims_name(n), XmlDoc::claims().text());
  return archive;
}

// The archive's name, its folders and its listing decide alone, before any
// document is read.
TEST(Intake, TheArchiveItselfDecidesBeforeTheDocuments) {
  std::vector<std::string> ten, nine;
  for (int i = 1; i <= 10; ++i) ten.push_back(Archive::data_name(i));
  for (int i = 1; i <= 9; ++i) nine.push_back(Archive::claims_name(i));
  Archive renamed_top = complete_archive();
  for (ZipEntry& e : renamed_top.entries) e.raw_name = "other/" + e.raw_name;
  Archive two_pairs = with_documents({Archive::data_name(1), Archive::data_name(2)},
                                     {Archive::claims_name(1), Archive::claims_name(2)});
  two_pairs.entries.front().content = "<broken";  // a finding in the first pair
  two_pairs.add("notes.txt", "beside the documents");
  // A folder whose name ends in xml is listed like a document and fails to load.
  Archive listed = with_documents({"h2.XML", "h1.xml", "h3.xml.bak"}, {"c1.xml", "c2.Xml"});
  listed.entries.push_back(ZipEntry{std::string(kArchiveStem) + "/DATA/h0.xml/", "", ZipEntry::kDirectory});
  listed.add("CLAIMS/c0.xml", "<broken");
  // As on Windows, where the files of data/ land in DATA/: one folder, one listing.
  Archive merged = in_folders("DATA", "CLAIMS", XmlDoc::data());
  for (const ZipEntry& e :
       in_folders("data", "claims", XmlDoc::data().remove("//a:recordTarget/a:patientRole/a:patient/a:name"), 2).entries) {
    merged.entries.push_back(e);
  }
  // Code page 932 names without the UTF-8 flag, folders separated by '\'; the
  // second bytes of 表, ソ and 能 are the byte of '\'.
  const std::string stem = kArchiveStem, top = stem + "/";
  Archive windows_made;
  windows_made.entries = {
      ZipEntry{stem + "\\DATA\\" + Archive::data_name(1), XmlDoc::data().text()},
      ZipEntry{stem + "\\DATA\\\x95\x5C.xml", XmlDoc::data().text()},
      ZipEntry{stem + "\\CLAIMS\\" + Archive::claims_name(1), XmlDoc::claims().text()},
      ZipEntry{stem + "\\CLAIMS\\\x83\x5C\x94\x5C.xml", "<broken"},
  };
  struct Case {
    const char* name;
    Archive archive;
    std::vector<std::string> lines;
    std::string damaged = "";  // an entry whose data is damaged
    bool cut_short = false;    // the archive file ends halfway
  } cases[] = {
      {"a submission", named("1311234567_95899071_201812060_1.zip"), {kNoError}},
      {"kind digit 2", named("1311234567_95899071_201812060_2.zip"), {kNotClaims}},
      {"only the first failing rule", named("1311234567_13899071_201812060_2.zip"), {kNotClaims}},
      {"another destination", named("1311234567_95899072_201812060_1.zip"), {kDestination}},
      {"full-width digits never match", named("1311234567_９５８９９０７１_201812060_1.zip"), {kDestination}},
      {"full-width kind digit", named("1311234567_95899071_201812060_１.zip"), {kNotClaims}},
      {"a shorter name shifts the positions into the folder path", named("1311234567_9589071_201812060_1.zip"),
       {kDestination}},
      {"the whole path shorter than 35 characters", named("1.zip"), {kNotClaims}},
      {"a longer name is read from its last 35 characters", named("x1311234567_95899071_201812060_1.zip"), {kNoError}},
      {"a longer name ending otherwise", named("1311234567_95899071_201812060_1x.zip"), {kNotClaims}},
      {"renamed, no longer the folder inside", named("1311234567_95899071_201812070_1.zip"), {kRenamed}},
      {"the archive cannot be read", complete_archive(), {kUnpackFailed}, "", true},
      {"top folder named differently", renamed_top, {kRenamed}},
      {"no DATA folder", with_documents({}, {"c1.xml"}), {kEmpty}},
      {"DATA holds no document", with_documents({"h1.xml.bak"}, {"c1.xml"}), {kEmpty}},
      {"ten data documents, nine claims", with_documents(ten, nine), {kCounts}},
      {"damaged last document, after a finding", two_pairs, {kUnpackFailed},
       top + "CLAIMS/" + Archive::claims_name(2)},
      {"damaged file beside the documents", two_pairs, {kUnpackFailed}, top + "notes.txt"},
      {"damaged file and the top folder named differently", renamed_top, {kUnpackFailed},
       renamed_top.entries.back().raw_name},
      {"damaged file and nine claims for ten", with_documents(ten, nine), {kUnpackFailed},
       top + "DATA/" + ten.back()},
      {"documents by their ending in any case, unreadable ones one line each", listed,
       {unreadable("h0.xml"), unreadable("c0.xml")}},
      {"data and claims", in_folders("data", "claims", XmlDoc::data()), {kNoError}},
      {"Data and CLAIMS", in_folders("Data", "CLAIMS", XmlDoc::data()), {kNoError}},
      {"DATA and data, CLAIMS and claims", merged,
       {Archive::data_name(2), "　受診者名がありません", "○決済情報　" + Archive::claims_name(2),
        "　データファイルと決済情報ファイルの受診者名が違います"}},
      {"Japanese names from Windows", windows_made, {unreadable("ソ能.xml")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    const std::string desktop = folder.path() + "/desktop", path = folder.path() + "/" + c.archive.name;
    std::filesystem::create_directories(desktop);
    write_zip(path, c.archive.entries);
    if (!c.damaged.empty()) damage_entry(path, c.damaged);
    if (c.cut_short) {
      write_truncated_copy(path, path + ".part");
      std::filesystem::rename(path + ".part", path);
    }
    FakePlatform platform(desktop, path);
    RunState state;
    bool clean = c.lines == std::vector<std::string>{kNoError};
    EXPECT_EQ(run_check(state, platform).outcome, clean ? RunOutcome::kClean : RunOutcome::kFindings);
    EXPECT_EQ(report::read_report_lines(desktop + "/ERR.txt"), c.lines);
    EXPECT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(list_folder(desktop), std::vector<std::string>{"ERR.txt"});
  }
}

TEST(Intake, CancelledOrEmptyChoiceEndsTheRunSilently) {
  for (const std::optional<std::string>& choice : {std::optional<std::string>(), std::optional<std::string>("")}) {
    TempDir desktop;
    FakePlatform platform(desktop.path(), choice);
    RunState run;
    EXPECT_EQ(run_check(run, platform).outcome, RunOutcome::kCancelled);
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_TRUE(list_folder(desktop.path()).empty());
  }
}

TEST(DocumentNames, KeepsXmlEndingsAndSortsIgnoringCase) {
  EXPECT_EQ(intake::document_names({"b.xml", "A.XML", "a.xml", "c.xml.bak", "xml", "d.txt", "C.xMl"}),
            (std::vector<std::string>{"A.XML", "a.xml", "b.xml", "C.xMl", "xml"}));
}

}  // namespace
}  // namespace kenshin::testkit

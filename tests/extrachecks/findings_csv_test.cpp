#include "extrachecks/findings_csv.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "extrachecks/extra_kit.h"

namespace fs = std::filesystem;

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

class FindingsCsvCli : public ::testing::Test {
 protected:
  void SetUp() override {
    desktop_ = dir_.path() + "/desktop";
    fs::create_directories(desktop_);
  }
  std::string write_archive(const Archive& archive) {
    std::string path = dir_.path() + "/" + archive.name;
    write_zip(path, archive.entries);
    return path;
  }
  std::string err_txt() { return read_file(desktop_ + "/ERR.txt"); }

  TempDir dir_;
  std::string desktop_;
};

// Findings of every kind from one run; the examinee's name needs quoting.
TEST_F(FindingsCsvCli, EveryFindingOfTheReportIsARow) {
  AgreeingParts parts;
  const std::string name = "ケンシン,\"ジロウ\"";
  parts.data.set("//a:recordTarget/a:patientRole/a:patient/a:name", name);
  parts.claims.set("//a:subjectPerson/a:name", name);
  parts.data.remove("//a:observation[a:code/@code='3B090000002327101']/..");
  parts.claims.set("//a:subjectPerson/a:addr/a:postalCode", "1600023");
  parts.summary.set("//a:totalClaimAmount/@value", "18161");
  std::string archive = write_archive(parts.archive());
  std::string csv = dir_.path() + "/out.csv";

  CliResult r = run_cli({"--quiet", "--desktop", desktop_, "--schema", "--archive-checks", "--csv", csv, archive});
  EXPECT_EQ(r.status, 1) << r.err;
  const std::string h1 = Archive::data_name(1), c1 = Archive::claims_name(1);
  auto row = [&](const std::string& kind, const std::string& file, const std::string& message) {
    return "1," + kind + "," + file + ",06139998,18100012345,\"ケンシン,\"\"ジロウ\"\"\"," + message + "\r\n";
  };
  EXPECT_EQ(read_file(csv),
            std::string(kBom) + kHeaderRow + row("data", h1, "γ-GT(γ-GTP)がありません") +
                row("settlement", c1, "郵便番号を確認してください") + "1,schema," + c1 + ",,,,CLAIMS/" + c1 +
                " がスキーマに適合しません（エラー1件、最初は25行目：Element 'postalCode': [facet 'pattern'] The value "
                "'1600023' is not accepted by the pattern '[0-9]{3}-[0-9]{4}'.）\r\n" +
                ",cross-check,su08_V08.xml,,,,集計情報の請求金額総計（totalClaimAmount）が 18161 円ですが、"
                "決済情報の請求金額（claimAmount）の合計は 18160 円です\r\n");
}

TEST_F(FindingsCsvCli, WithoutTheNewOptionsTheReportAndOutputStayTheSame) {
  Archive archive = complete_archive();
  XmlDoc data = XmlDoc::data();
  data.remove("//a:observation[a:code/@code='3B090000002327101']/..");
  archive.add_pair(data, XmlDoc::claims(), 2);
  std::string path = write_archive(archive);

  CliResult plain = run_cli({"--desktop", desktop_, path});
  std::string plain_report = err_txt();
  EXPECT_EQ(plain.status, 1);
  CliResult with_csv = run_cli({"--desktop", desktop_, "--csv", dir_.path() + "/out.csv", path});
  EXPECT_EQ(err_txt(), plain_report);
  EXPECT_EQ(with_csv.status, plain.status);
  EXPECT_EQ(with_csv.out, plain.out);
  EXPECT_EQ(with_csv.err, plain.err);
}

TEST_F(FindingsCsvCli, UnusableCsvPathsAreUsageErrors) {
  std::string path = write_archive(complete_archive());
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--desktop", desktop_, path, "--csv"},
                                               {"--desktop", desktop_, "--csv", dir_.path() + "/nowhere/out.csv", path},
                                               {"--desktop", desktop_, "--csv", desktop_, path},
                                               {"--desktop", desktop_, "--csv=", path}}) {
    CliResult r = run_cli(args);
    EXPECT_EQ(r.status, 2) << args[args.size() - 2];
    EXPECT_EQ(r.err.rfind("kenshin-check: ", 0), 0u) << r.err;
  }
  EXPECT_FALSE(fs::exists(desktop_ + "/ERR.txt"));
  CliResult help = run_cli({"--help"});
  for (const char* option : {"--schema", "--archive-checks", "--csv FILE"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace kenshin::testkit

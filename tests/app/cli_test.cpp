#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "extrachecks/extra_kit.h"
#include "report/findings_csv.h"
#include "report/report.h"
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
  std::string write_archive(const Archive& archive) {
    std::string path = dir_.path() + "/" + archive.name;
    write_zip(path, archive.entries);
    return path;
  }

  TempDir dir_;
  std::string desktop_;
  std::string archive_;
};

TEST_F(Cli, ACleanArchiveExitsWithZeroAndSaysSo) {
  CliResult clean = run_cli({"--desktop", desktop_, archive_});
  EXPECT_EQ(clean.status, 0) << clean.err;
  EXPECT_EQ(clean.out, std::string(kNoError) + "\n");
  EXPECT_EQ(report(), std::vector<std::string>{kNoError});
}

TEST_F(Cli, RelativeArchivePathsAreReadFromTheCurrentFolder) {
  // A shortened name is read together with characters of the folder path:
  // here the destination number still falls on its place, the stem does not.
  fs::copy_file(archive_, dir_.path() + "/95899071_201812060_1.zip");
  CliResult r = run_cli({"--desktop", desktop_, "95899071_201812060_1.zip"}, dir_.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(report(),
            std::vector<std::string>{
                "ＺＩＰファイル名を変更すると正しく処理できません、変更する前のＺＩＰファイル名に戻してください"});
}

// A usage error is one line in the locale's language, then the usage.
TEST_F(Cli, UsageErrorsExitWithTwoAndOneLine) {
  const std::string ja = "LC_ALL=ja_JP.UTF-8", none = dir_.path() + "/none.zip", nowhere = dir_.path() + "/nowhere";
  const std::string needs_2024 = "--fiscal-year needs --edition 2024 (the 2018 edition checks 2018 only)";
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string line;  // after "kenshin-check: "
    std::vector<std::string> env = {};
  } cases[] = {
      {"no archive", {"--desktop", desktop_}, "no archive given"},
      {"unknown option", {"--fast", archive_}, "unknown option --fast"},
      {"missing archive", {"--desktop", desktop_, none}, "no such archive file: " + none},
      {"archive is a folder", {"--desktop", desktop_, dir_.path()}, dir_.path() + ": is a folder"},
      {"desktop missing", {"--desktop", nowhere, archive_}, "no such desktop folder: " + nowhere},
      {"desktop without value", {archive_, "--desktop"}, "--desktop needs a folder"},
      {"two archives", {"--desktop", desktop_, archive_, archive_}, "only one archive can be checked at a time"},
      {"CSV without file", {"--desktop", desktop_, archive_, "--csv"}, "--csv needs a file"},
      {"CSV in a missing folder", {"--desktop", desktop_, "--csv", nowhere + "/out.csv", archive_},
       "cannot write the CSV file there: " + nowhere + "/out.csv"},
      {"CSV is a folder", {"--desktop", desktop_, "--csv", desktop_, archive_},
       "cannot write the CSV file there: " + desktop_},
      {"CSV empty", {"--desktop", desktop_, "--csv=", archive_}, "cannot write the CSV file there: "},
      {"edition unknown", {"--desktop", desktop_, "--edition", "2021", archive_}, "no such edition: 2021 (2018 or 2024)"},
      {"edition 2019", {"--desktop", desktop_, "--edition=2019", archive_}, "no such edition: 2019 (2018 or 2024)"},
      {"edition without value", {"--desktop", desktop_, archive_, "--edition"}, "--edition needs 2018 or 2024"},
      {"fiscal year in the default edition", {"--desktop", desktop_, "--fiscal-year", "2026", archive_}, needs_2024},
      {"fiscal year with --edition 2018", {"--edition", "2018", "--fiscal-year", "2026", archive_}, needs_2024},
      {"fiscal year before 2024", {"--desktop", desktop_, "--edition", "2024", "--fiscal-year", "2023", archive_},
       "no such fiscal year: 2023 (2024 or later, four digits)"},
      {"fiscal year not four digits", {"--desktop", desktop_, "--edition=2024", "--fiscal-year=26", archive_},
       "no such fiscal year: 26 (2024 or later, four digits)"},
      {"fiscal year malformed", {"--edition", "2024", "--fiscal-year", "20x6", archive_},
       "no such fiscal year: 20x6 (2024 or later, four digits)"},
      {"fiscal year in full-width digits", {"--edition", "2024", "--fiscal-year=２０２６", archive_},
       "no such fiscal year: ２０２６ (2024 or later, four digits)"},
      {"fiscal year without value", {"--desktop", desktop_, "--edition", "2024", archive_, "--fiscal-year"},
       "--fiscal-year needs a year"},
      {"Japanese: unknown option", {"--fast", none}, "--fast は未知のオプションです", {ja}},
      {"Japanese: no archive", {"-q"}, "ZIPファイルが指定されていません", {ja}},
      {"Japanese: no such archive", {none}, "ZIPファイルがありません: " + none, {ja}},
      {"Japanese: archive is a folder", {dir_.path()}, dir_.path() + ": フォルダです", {ja}},
      {"Japanese: edition", {"--edition", "2021", none}, "その版はありません: 2021（2018 か 2024）", {ja}},
      {"Japanese: fiscal year", {"--edition=2024", "--fiscal-year=26", none}, "その年度はありません: 26（2024 以降の4桁の数字）",
       {ja}},
      {"LANG Japanese", {"-q"}, "ZIPファイルが指定されていません", {"LC_ALL=", "LC_MESSAGES=", "LANG=ja_JP.UTF-8"}},
      {"LC_MESSAGES Japanese", {"-q"}, "ZIPファイルが指定されていません", {"LC_ALL=", "LC_MESSAGES=ja_JP.UTF-8", "LANG=C"}},
      {"English locale", {"--fast", none}, "unknown option --fast", {"LC_ALL=en_US.UTF-8"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CliResult r = run_cli(c.args, "", c.env);
    EXPECT_EQ(r.status, 2);
    size_t end = r.err.find('\n');
    EXPECT_EQ(r.err.substr(0, end), "kenshin-check: " + c.line);
    bool japanese = std::ranges::any_of(c.env, [](const std::string& e) { return e.find("=ja") != e.npos; });
    const std::string usage = japanese ? "使い方: " : "usage: ";
    EXPECT_EQ(r.err.substr(end + 1, usage.size()), usage);
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(fs::exists(desktop_ + "/ERR.txt"));
}

TEST_F(Cli, VersionHelpAndQuietHaveShortForms) {
  for (const char* option : {"--version", "-V"}) {
    CliResult v = run_cli({option});
    EXPECT_EQ(v.status, 0) << option;
    EXPECT_EQ(v.out, std::string("kenshin-check ") + kVersion + "\n") << option;
  }
  EXPECT_EQ(run_cli({"-h"}).out, run_cli({"--help"}).out);
  CliResult quiet = run_cli({"-q", "--desktop", desktop_, archive_});
  EXPECT_EQ(quiet.status, 0) << quiet.err;
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(report(), std::vector<std::string>{kNoError});
}

TEST_F(Cli, TheEdition2024ChecksTheChosenFiscalYear) {
  CliResult y2018 = run_cli({"--desktop", desktop_, "--edition", "2018", archive_});
  EXPECT_EQ(y2018.status, 0) << y2018.err;
  CliResult y2026 = run_cli({"--quiet", "--desktop", desktop_, "--edition", "2024", "--fiscal-year", "2026", archive_});
  EXPECT_EQ(y2026.status, 1) << y2026.err;
  EXPECT_EQ(report(), (std::vector<std::string>{"", fixture_examinee_line(),
                                                "○健診情報　h13112345672018120600000001.xml",
                                                "　過年度分の請求ですのでチェックが正常には行えません。"}));
}

// Findings of every kind from one run. The examinee's name needs quoting, and
// its "tsuchi-yoshi" variant, outside code page 932, is "?" in the report but
// whole in the CSV, as the documents have it.
TEST_F(Cli, TheCsvFileHasARowForEveryFinding) {
  AgreeingParts parts;
  const std::string name = "ケンシン,\"\U00020BB7\"";
  parts.data.set("//a:recordTarget/a:patientRole/a:patient/a:name", name);
  parts.claims.set("//a:subjectPerson/a:name", name);
  parts.data.remove("//a:observation[a:code/@code='3B090000002327101']/..");
  parts.claims.set("//a:subjectPerson/a:addr/a:postalCode", "1600023");
  parts.summary.set("//a:totalClaimAmount/@value", "18161");
  std::string csv = dir_.path() + "/out.csv";
  std::vector<std::string> args = {"--desktop", desktop_, "--schema", "--archive-checks", write_archive(parts.archive())};
  CliResult plain = run_cli(args);
  std::string plain_report = read_file(desktop_ + "/ERR.txt");
  args.insert(args.begin(), {"--csv", csv});
  CliResult r = run_cli(args);
  EXPECT_EQ(r.status, 1) << r.err;
  // The report, the status and the output are those of the run without the CSV file.
  EXPECT_EQ(read_file(desktop_ + "/ERR.txt"), plain_report);
  EXPECT_EQ(r.status, plain.status);
  EXPECT_EQ(r.out, plain.out);
  EXPECT_EQ(r.err, plain.err);
  EXPECT_EQ(report(), (std::vector<std::string>{
                          "", "ケンシン,\"?\"　保険者番号(06139998)　受診券整理番号(18100012345)",
                          "○健診情報　" + Archive::data_name(1), "　γ-GT(γ-GTP)がありません",
                          "○決済情報　" + Archive::claims_name(1), "　郵便番号を確認してください", "",
                          "【スキーマ検証（本プログラム同梱のスキーマ）】",
                          "　CLAIMS/" + Archive::claims_name(1) +
                              " がスキーマに適合しません（エラー1件、最初は25行目：要素 'postalCode' の値 '1600023' "
                              "がパターン '[0-9]{3}-[0-9]{4}' に合いません）",
                          "", "【交換用基本情報・集計情報とZIPファイルの照合】",
                          std::string("　集計情報の請求金額総計（totalClaimAmount）が 18161 円ですが、") +
                              "決済情報の請求金額（claimAmount）の合計は 18160 円です"}));
  const std::string h1 = Archive::data_name(1), c1 = Archive::claims_name(1);
  auto row = [&](const std::string& kind, const std::string& file, const std::string& message,
                 const std::string& evidence) {
    return "1," + kind + "," + file + ",06139998,18100012345,\"ケンシン,\"\"\U00020BB7\"\"\"," + message + "," + evidence +
           "\r\n";
  };
  EXPECT_EQ(read_file(csv),
            report::csv_text({}) + row("data", h1, "γ-GT(γ-GTP)がありません", "data.gamma-gt.absent,,,") +
                row("settlement", c1, "郵便番号を確認してください", "settlement.postal-code.malformed,,1600023,25") +
                "1,schema," + c1 + ",,,,CLAIMS/" + c1 +
                " がスキーマに適合しません（エラー1件、最初は25行目：要素 'postalCode' の値 '1600023' がパターン "
                "'[0-9]{3}-[0-9]{4}' に合いません）,schema.invalid,,Element 'postalCode': [facet 'pattern'] The value "
                "'1600023' is not accepted by the pattern '[0-9]{3}-[0-9]{4}'.,25\r\n" +
                ",cross-check,su08_V08.xml,,,,集計情報の請求金額総計（totalClaimAmount）が 18161 円ですが、"
                "決済情報の請求金額（claimAmount）の合計は 18160 円です,cross-check.summary.total-claim.differs,,18161,\r\n");
}

}  // namespace
}  // namespace kenshin::testkit

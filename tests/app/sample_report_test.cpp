// The whole report of the sample archive, byte for byte: record headers of
// pairs with findings on both sides, on one side only and on none, load
// failures of either document, a missing examinee name, code page 932, CR LF.
// And the FY2024 twin's: clean when sound, the true FY2024 faults when not.
#include <gtest/gtest.h>

#include "extrachecks/extra_kit.h"
#include "support/sample_archive.h"

namespace kenshin::testkit {
namespace {

TEST(SampleArchive, ReportIsExactlyTheKnownOne) {
  CheckResult r = check(sample_archive());
  EXPECT_EQ(r.result.outcome, RunOutcome::kFindings);
  EXPECT_EQ(r.report_bytes, read_fixture("sample/ERR.txt")) << "decoded:\n" << ::testing::PrintToString(r.lines);
  expect_read_back(r.findings, r.report_bytes, kArchiveName);
}

TEST(SampleArchive, TheFY2024TwinsReports) {
  const EditionChoice fy2024{base::Edition::k2024, kSample2024FiscalYear};
  const extrachecks::ExtraCheckOptions quick{false, false}, archive_checks{false, true};
  const std::vector<std::string> sound = {kNoError, "", "【交換用基本情報・集計情報とZIPファイルの照合】",
                                          "照合でのエラーはありません"};
  const std::vector<std::string> faulty = {
      "",
      "シンサ　ハナコ　保険者番号(06139998)　受診券整理番号(24100012346)",
      "○健診情報　h13112345672018120600000002.xml",
      "　随時血糖のみで採血時間がある場合、採血時間は３（食後３．５時間以上１０時間未満）である必要があります",
      "",
      "ミホン　サブロウ　保険者番号(06139998)　受診券整理番号(24100012347)",
      "○健診情報　h13112345672018120600000003.xml",
      "　採血時間がありません",
      "　喫煙に１～３以外のコードが入っています",
      "",
      "ミホン　シロウ　保険者番号(06139998)　受診券整理番号(23100012348)",
      "○健診情報　h13112345672018120600000004.xml",
      "　過年度分の請求ですのでチェックが正常には行えません。",
      "",
      "【交換用基本情報・集計情報とZIPファイルの照合】",
      "　集計情報の単価総計（totalCostAmount）が 9310 円ですが、決済情報の単価合計（unitAmount）の合計は 42320 円です",
  };
  struct Case {
    const char* name;
    bool with_findings;
    EditionChoice choice;
    extrachecks::ExtraCheckOptions options;
    std::vector<std::string> expected;
  } cases[] = {
      {"sound, quick check", false, fy2024, quick, {kNoError}},
      {"sound, with the archive checks", false, fy2024, archive_checks, sound},
      {"faulty, with the archive checks", true, fy2024, archive_checks, faulty},
  };
  for (const Case& c : cases) {
    CheckResult r = check_extra(sample_archive_2024(c.with_findings), c.options, c.choice);
    EXPECT_EQ(r.lines, c.expected) << c.name;
    EXPECT_EQ(r.result.outcome, c.with_findings ? RunOutcome::kFindings : RunOutcome::kClean) << c.name;
    expect_read_back(r.findings, r.report_bytes, sample_archive_2024(c.with_findings).name);
  }
}

}  // namespace
}  // namespace kenshin::testkit

#include "extrachecks/cross_checks.h"

#include <gtest/gtest.h>

#include <functional>

#include "extrachecks/extra_kit.h"

namespace kenshin::testkit {
namespace {

constexpr extrachecks::ExtraCheckOptions kCrossChecks{false, true};

std::vector<std::string> report_with(const std::vector<std::string>& cross_lines) {
  std::vector<std::string> lines = {kNoError, "", std::string(extrachecks::kCrossCheckHeading)};
  lines.insert(lines.end(), cross_lines.begin(), cross_lines.end());
  return lines;
}

TEST(CrossChecks, EachDisagreementIsOneLineWithBothValues) {
  const std::string claims2 = "CLAIMS/" + Archive::claims_name(2);
  struct Case {
    const char* name;
    std::function<void(AgreeingParts&)> edit;
    std::vector<std::string> expected;
  } cases[] = {
      {"everything agrees, a total zero-padded",
       [](AgreeingParts& p) { p.summary.set("//a:totalClaimAmount/@value", "0018160"); },
       {"照合でのエラーはありません"}},
      {"the count and each total off by one, in order",
       [](AgreeingParts& p) {
         p.summary.set("//a:totalSubjectCount/@value", "3")
             .set("//a:totalCostAmount/@value", "21161")
             .set("//a:totalPaymentAmount/@value", "2999")
             .set("//a:totalClaimAmount/@value", "18161")
             .append_xml("//a:summary", "<totalPaymentByOtherProgram value=\"1\" currency=\"JPY\"/>");
       },
       {"　集計情報の受診者総数（totalSubjectCount）が 3 ですが、決済情報ファイルは 2 件です",
        "　集計情報の単価総計（totalCostAmount）が 21161 円ですが、決済情報の単価合計（unitAmount）の合計は 21160 円です",
        "　集計情報の窓口支払金額総計（totalPaymentAmount）が 2999 円ですが、"
        "決済情報の窓口負担金額合計（paymentAmount）の合計は 3000 円です",
        "　集計情報の他の健診による負担金額総計（totalPaymentByOtherProgram）が 1 円ですが、"
        "決済情報の他の健診による負担金額（paymentByOtherProgram）の合計は 0 円です",
        "　集計情報の請求金額総計（totalClaimAmount）が 18161 円ですが、決済情報の請求金額（claimAmount）の合計は "
        "18160 円です"}},
      {"cost total missing, claim total not a number",
       [](AgreeingParts& p) {
         p.summary.remove("//a:totalCostAmount").set("//a:totalClaimAmount/@value", "18,160");
       },
       {"　集計情報に単価総計（totalCostAmount）がありません。決済情報の単価合計（unitAmount）の合計は 21160 円です",
        "　集計情報の請求金額総計（totalClaimAmount）「18,160」を確認してください。"
        "決済情報の請求金額（claimAmount）の合計は 18160 円です"}},
      {"sender, receiver and record count wrong",
       [](AgreeingParts& p) {
         p.index.set("//a:totalRecordCount/@value", "2")
             .set("//a:sender/a:id/@extension", "1311234567")
             .set("//a:receiver/a:id/@extension", "00139998");
       },
       {"　交換用基本情報の送付元機関番号（sender）が 1311234567 ですが、ZIPファイル名では 1314567890 です",
        "　交換用基本情報の送付先機関番号（receiver）が 00139998 ですが、ZIPファイル名では 95899071 です",
        "　交換用基本情報の総ファイル数（totalRecordCount）が 2 ですが、DATAとCLAIMSのファイルは合わせて 4 件です"}},
      {"sender missing, receiver left out",
       [](AgreeingParts& p) { p.index.remove("//a:sender|//a:receiver"); },
       {"　交換用基本情報に送付元機関番号（sender）がありません"}},
      {"index and summary missing",
       [](AgreeingParts& p) {
         p.with_index = false;
         p.with_summary = false;
       },
       {"　交換用基本情報ファイル（ix08_V08.xml）がありません", "　集計情報ファイル（su08_V08.xml）がありません"}},
      {"a settlement document of another institution, after the summary's lines",
       [](AgreeingParts& p) {
         p.claims2.set("//a:subjectPerson/a:performerOrganization/a:id/@extension", "1319999999");
         p.summary.set("//a:totalSubjectCount/@value", "1");
       },
       {"　集計情報の受診者総数（totalSubjectCount）が 1 ですが、決済情報ファイルは 2 件です",
        "　" + claims2 + " の実施機関番号（1319999999）がZIPファイル名の送付元機関番号（1314567890）と違います"}},
  };
  for (const Case& c : cases) {
    AgreeingParts parts;
    c.edit(parts);
    ExtraRun r = check_extra(parts.archive(), kCrossChecks);
    EXPECT_EQ(r.lines, report_with(c.expected)) << c.name;
    bool clean = c.expected.front() == "照合でのエラーはありません";
    EXPECT_EQ(r.result.outcome, clean ? RunOutcome::kClean : RunOutcome::kFindings) << c.name;
  }
}

TEST(CrossChecks, LinesFollowTheQuickChecksLinesUntouched) {
  AgreeingParts parts;
  parts.data.set("//a:author/a:assignedAuthor/a:representedOrganization/a:id/@extension", "1319999999");
  parts.data.remove("//a:observation[a:code/@code='3B090000002327101']/..");
  ExtraRun r = check_extra(parts.archive(), kCrossChecks);
  EXPECT_EQ(r.lines,
            (std::vector<std::string>{
                "", fixture_examinee_line(), "○健診情報　" + Archive::data_name(1), "　γ-GT(γ-GTP)がありません", "",
                std::string(extrachecks::kCrossCheckHeading),
                "　DATA/" + Archive::data_name(1) +
                    " のファイル作成機関番号（1319999999）がZIPファイル名の送付元機関番号（1314567890）と違います"}));
  EXPECT_EQ(r.result.outcome, RunOutcome::kFindings);
}

}  // namespace
}  // namespace kenshin::testkit

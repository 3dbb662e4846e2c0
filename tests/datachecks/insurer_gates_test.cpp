#include "datachecks/insurer_cases.h"

namespace kenshin::testkit {
namespace {

constexpr const char kMeasured[] = "9N016160100000001";
constexpr const char kSelfReported[] = "9N016160300000001";
constexpr const char kBmi[] = "9N011000000000001";
constexpr const char kMetabolic[] = "9N501000000000011";
constexpr const char kGuidance[] = "9N506000000000011";
const std::string kBmiValue = observation(kBmi) + "/a:value/@value";

const std::string kWaistAbsent = "　腹囲がありません";
const std::string kSelfReportedBmi = "　腹囲（自己申告）のみの場合、ＢＭＩが２２．０未満である必要があります。";
const std::string kMetabolicAbsent = "　メタボリックシンドローム判定がありません";
const std::string kGuidanceAbsent = "　保健指導レベルがありません";

// The fixture records the measured waist only, and a BMI of 22.5; its insurer number 06139998 opens no gate.
const Edit kNoMeasured = omitted(kMeasured);
Edit recorded(const std::string& code) { return placed(code, Place::kCheckupSection, "<value/>"); }
const Edit kSelfReportedOnly[] = {omitted(kMeasured), recorded(kSelfReported)};

// Insurer numbers that begin with 39 skip the waist, judgement and guidance
// rules; the record header shows the insurer number as captured.
TEST(WaistMetabolicGate, InsurerNumbersBeginningWith39) {
  const std::vector<Edit> none_recorded = {kNoMeasured, omitted(kMetabolic), omitted(kGuidance)};
  const std::vector<std::string> all_three = {kWaistAbsent, kMetabolicAbsent, kGuidanceAbsent};
  auto with = [&](const std::string& number) {
    std::vector<Edit> edits = none_recorded;
    edits.push_back(insurer(number));
    return edits;
  };
  auto after = [&](const std::string& header_finding) {
    std::vector<std::string> messages = {header_finding};
    messages.insert(messages.end(), all_three.begin(), all_three.end());
    return messages;
  };
  const std::string bad_length = "　保険者番号を確認してください";
  expect_findings({
      {"39 of 8 characters", with("39000001"), {}},
      {"3958 of 8 characters",
       with("39580001"),
       {"　尿潜血がありません", "　アルブミンがありません", "　ＢＵＮ（「その他の検査」）がありません",
        "　血清尿酸がありません", "　白血球数がありません"},
       line_with_insurer("39580001")},
      {"39 of 7 characters", with("3900001"), after(bad_length), line_with_insurer("")},
      {"39 of 9 characters", with("390000011"), after(bad_length), line_with_insurer("")},
      {"empty", with(""), after(bad_length), line_with_insurer("")},
      {"full-width 39", with("３９０００００１"), all_three, line_with_insurer("３９０００００１")},
      {"3 then 9 elsewhere", with("03900001"), all_three, line_with_insurer("03900001")},
      {"93", with("93000001"), all_three, line_with_insurer("93000001")},
  });
  std::vector<Edit> no_insurer = none_recorded;
  no_insurer.push_back(removed(kInsurerNumber));
  expect_findings({{"no insurer number", no_insurer, after("　保険者番号がありません"), line_with_insurer("")}});
}

// Values of one data document never reach the next: the second document has
// no BMI and no insurer number, the first a BMI of 21 and insurer 3958….
TEST(WaistMetabolicGate, BmiValueAndInsurerNumberStartAfreshForEachDocument) {
  XmlDoc first = XmlDoc::data(), second = XmlDoc::data();
  for (const Edit& edit : kSelfReportedOnly) {
    edit(first);
    edit(second);
  }
  set_to(kBmiValue, "21")(first);
  insurer("39589999")(first);
  omitted(kBmi)(second);
  removed(kInsurerNumber)(second);
  std::vector<std::string> first_findings = data_header(examinee_line(first), 1);
  for (const char* message :
       {"　尿潜血がありません", "　アルブミンがありません", "　ＢＵＮ（「その他の検査」）がありません",
        "　血清尿酸がありません", "　白血球数がありません"}) {
    first_findings.push_back(message);
  }
  std::vector<std::string> expected = first_findings;
  std::vector<std::string> second_header = data_header(line_with_insurer(""), 2);
  expected.insert(expected.end(), second_header.begin(), second_header.end());
  for (const std::string& message :
       {std::string("　保険者番号がありません"), std::string("　ＢＭＩがありません"), kSelfReportedBmi}) {
    expected.push_back(message);
  }
  EXPECT_EQ(check(Archive().add_pair(first, XmlDoc::claims(), 1).add_pair(second, XmlDoc::claims(), 2)).lines,
            expected);
}

// One fault in each group from the urine groups on: they report in their fixed order.
TEST(ItemRuleOrder, UrineWaistSummariesFundusDetailedHomePrefecture) {
  expect_findings(
      {{"one fault each",
        {insurer("00580001"), set_to(value_code("1A010000000191111"), "7"), kNoMeasured, omitted(kGuidance),
         set_to(value_code("9E100166300000011"), "10"), omitted("9A110161000000049")},
        {"　尿蛋白（試験紙法（機械読み取り））に１～５以外のコードが入っています", kWaistAbsent, kGuidanceAbsent,
         "　眼底検査（SCOTT分類)に１～９以外のコードが入っています", "　詳細検査の場合、心電図（実施理由）が必要です",
         "　尿潜血がありません", "　アルブミンがありません", "　ＢＵＮ（「その他の検査」）がありません",
         "　血清尿酸がありません"},
        line_with_insurer("00580001")}});
}

}  // namespace
}  // namespace kenshin::testkit

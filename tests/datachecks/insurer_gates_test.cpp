// The waist rules, which insurer numbers beginning with 39 skip, and the
// results the home prefecture's insurers ask for beyond the national items.
#include "datachecks/data_cases.h"

namespace kenshin::testkit {
namespace {

constexpr const char kSelfReported[] = "9N016160300000001";
constexpr const char kVisceralFat[] = "9N021000000000001";
const std::string kBmiValue = observation(kBmi) + "/a:value/@value";

const std::string kWaistAbsent = "　腹囲がありません";

const std::string kSelfReportedBmi = "　腹囲（自己申告）のみの場合、ＢＭＩが２２．０未満である必要があります。";
const std::string kMetabolicAbsent = "　メタボリックシンドローム判定がありません";
const std::string kGuidanceAbsent = "　保健指導レベルがありません";
const std::string kCheckInsurer = "　保険者番号を確認してください";

// The fixture records the measured waist only, a BMI of 22.5 and insurer 06139998, which opens no gate.
const Edit kNoMeasured = omitted(kMeasured);
Edit recorded(const std::string& code) { return placed(code, Place::kCheckupSection, "<value/>"); }
const Edit kSelfReportedOnly = recorded(kSelfReported);

TEST(WaistRules, GroupNegationAndTheSelfReportedBmiLimit) {
  expect_findings({
      {"none of the four", {kNoMeasured}, {kWaistAbsent}},
      {"measured with negationInd false", {negated(kMeasured, "false")}, {}},
      {"measured with empty negationInd", {negated(kMeasured, "")}, {"　腹囲が未実施です"}},
      {"measured negated, visceral fat recorded", {negated(kMeasured), recorded(kVisceralFat)}, {}},
      {"measured only nested", {kNoMeasured, placed(kMeasured, Place::kNested)}, {kWaistAbsent}},
      // The BMI limit applies only when the self-reported waist is the one result.
      {"self-reported only, BMI 22.5", {kNoMeasured, kSelfReportedOnly}, {kSelfReportedBmi}},
      {"self-reported only, BMI 21.99", {kNoMeasured, kSelfReportedOnly, set_to(kBmiValue, "21.99")}, {}},
      {"self-reported only, BMI 22", {kNoMeasured, kSelfReportedOnly, set_to(kBmiValue, "22")}, {kSelfReportedBmi}},
      {"self-reported and measured", {kSelfReportedOnly, set_to(kBmiValue, "30")}, {}},
      {"self-reported, measured negated", {kSelfReportedOnly, negated(kMeasured)}, {kSelfReportedBmi}},
      // A BMI that is not a number does not show that it is below 22.0.
      {"BMI negated at 20",
       {kNoMeasured, kSelfReportedOnly, negated(kBmi), set_to(kBmiValue, "20")},
       {"　ＢＭＩが未実施です", kSelfReportedBmi}},
      {"BMI in full-width digits", {kNoMeasured, kSelfReportedOnly, set_to(kBmiValue, "２１")}, {kSelfReportedBmi}},
  });
}

TEST(WaistMetabolicGate, InsurerNumbersBeginningWith39) {
  const std::vector<std::string> all_three = {kWaistAbsent, kMetabolicAbsent, kGuidanceAbsent};
  auto none_recorded = [](Edit insurer_edit) {
    return std::vector<Edit>{kNoMeasured, omitted("9N501000000000011"), omitted("9N506000000000011"), insurer_edit};
  };
  auto after = [&](const std::string& header_finding) {
    std::vector<std::string> messages = {header_finding};
    messages.insert(messages.end(), all_three.begin(), all_three.end());
    return messages;
  };
  expect_findings({
      {"39 of 8 characters", none_recorded(insurer("39000001")), {}},
      {"39 of 7 characters", none_recorded(insurer("3900001")), after(kCheckInsurer), line_with_insurer("")},
      {"full-width 39", none_recorded(insurer("３９０００００１")), all_three, line_with_insurer("３９０００００１")},
      {"3 then 9 elsewhere", none_recorded(insurer("03900001")), all_three, line_with_insurer("03900001")},
      {"no insurer number", none_recorded(removed(kInsurerNumber)), after("　保険者番号がありません"),
       line_with_insurer("")},
  });
}

constexpr const char kBunStandard[] = "3C025000002327101";
constexpr const char kUrineOccultBlood[] = "1A100000000191111";
constexpr const char kAlbumin[] = "3A015000002399901";
constexpr const char kOtherTests[] = "9N416000000000049";
constexpr const char kUricAcid[] = "3C020000002399901";
constexpr const char kRedCells[] = "2A020000001930101";
constexpr const char kHemoglobin[] = "2A030000001930101";
constexpr const char kHematocrit[] = "2A040000001930102";
constexpr const char kCreatinine[] = "3C015000002327101";
constexpr const char kWhiteCells[] = "2A010000001930101";

const std::string kBunPlace = "　ＢＵＮは、「その他の検査」（9N416000000000049）に全角で入力してください";
const std::string kNoUrineOccultBlood = "　尿潜血がありません";
const std::string kNoAlbumin = "　アルブミンがありません";
const std::string kNoOtherTests = "　ＢＵＮ（「その他の検査」）がありません";
const std::string kNoUricAcid = "　血清尿酸がありません";
const std::string kNoWhiteCells = "　白血球数がありません";

// The fixture has the blood counts, ECG and creatinine nested, and none of
// urine occult blood, albumin, other tests, uric acid, white cells or a standard BUN.
const std::vector<std::string> kMunicipalFindings = {kNoUrineOccultBlood, kNoAlbumin, kNoOtherTests, kNoUricAcid};
const std::vector<std::string> kLateElderlyFindings = {kNoUrineOccultBlood, kNoAlbumin, kNoOtherTests, kNoUricAcid,
                                                       kNoWhiteCells};

Edit direct(const std::string& code, const std::string& children = "") {
  return placed(code, Place::kCheckupSection, children);
}
const std::vector<Edit> kAllAdded = {direct(kUrineOccultBlood), direct(kAlbumin), direct(kOtherTests),
                                     direct(kUricAcid), placed(kWhiteCells, Place::kNested)};
const Edit kBunValue = direct(kBunStandard, "<value value=\"14\"/>");

std::vector<Edit> with(const std::string& number, std::vector<Edit> edits = {}) {
  edits.insert(edits.begin(), insurer(number));
  return edits;
}

TEST(HomePrefectureRules, InsurerGates) {
  expect_findings({
      {"3958", with("39580001"), kLateElderlyFindings, line_with_insurer("39580001")},
      {"0058", with("00580001"), kMunicipalFindings, line_with_insurer("00580001")},
      {"00583049 is not exempt", with("00583049"), kMunicipalFindings, line_with_insurer("00583049")},
      {"exempt 00583048", with("00583048"), {}},
      {"exempt 00583030", with("00583030"), {}},
      {"exempt 00583022 with a standard BUN", with("00583022", {kBunValue}), {kBunPlace}, line_with_insurer("00583022")},
      {"3959", with("39590001"), {}},
      {"3958 with every result", with("39580001", kAllAdded), {}},
      {"0058 with every result but white cells", with("00580001", {kAllAdded.begin(), kAllAdded.end() - 1}), {}},
  });
}

TEST(HomePrefectureRules, BunPlaceAndLookupForms) {
  const std::string late = line_with_insurer("39580001");
  std::vector<Edit> nothing_nested = {omitted(kRedCells), omitted(kHemoglobin),         omitted(kHematocrit),
                                      omitted(kEcg),      omitted("9A110160800000049"), omitted(kCreatinine)};
  std::vector<Edit> only_direct = nothing_nested;
  for (const Edit& e : {direct(kRedCells), direct(kHemoglobin), direct(kHematocrit), direct(kEcg, coded("2")),
                        direct(kCreatinine)}) {
    only_direct.push_back(e);
  }
  const std::vector<std::string> bun_findings = {kBunPlace, kNoUrineOccultBlood, kNoAlbumin, kNoUricAcid,
                                                 kNoWhiteCells};
  expect_findings({
      {"none of the ten",
       with("39580001", nothing_nested),
       {kNoUrineOccultBlood, kNoAlbumin, kNoOtherTests, kNoUricAcid, "　赤血球数がありません",
        "　血色素量［ヘモグロビン値］がありません", "　ヘマトクリット値がありません", "　心電図（所見の有無）がありません",
        "　血清クレアチニンがありません", kNoWhiteCells},
       late},
      {"standard BUN with value", with("39580001", {kBunValue}), bun_findings, late},
      {"two standard BUN codes with values, one finding",
       with("39580001", {kBunValue, direct("3C025000002399801", "<value value=\"14\"/>")}), bun_findings, late},
      {"standard BUN without value attribute", with("39580001", {direct(kBunStandard, "<value/>")}),
       kLateElderlyFindings, late},
      {"direct-form results only nested",
       with("39580001", {placed(kUrineOccultBlood, Place::kNested), placed(kAlbumin, Place::kNested),
                         placed(kOtherTests, Place::kNested), placed(kUricAcid, Place::kNested), direct(kWhiteCells)}),
       kMunicipalFindings, late},
      {"second codes of urine, albumin and uric acid",
       with("39580001", {direct("1A100000000190111"), direct("3A015000002327101"), direct("3C020000002327101")}),
       {kNoOtherTests, kNoWhiteCells}, late},
      {"either-form results only direct", with("39580001", only_direct), kLateElderlyFindings, late},
      {"required results negated",
       with("39580001", {kAllAdded[0], negated(kUrineOccultBlood), negated(kRedCells)}),
       {kNoAlbumin, kNoOtherTests, kNoUricAcid, kNoWhiteCells}, late},
  });
}

}  // namespace
}  // namespace kenshin::testkit

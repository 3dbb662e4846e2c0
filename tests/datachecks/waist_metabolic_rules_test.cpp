#include "datachecks/item_cases.h"

namespace kenshin::testkit {
namespace {

constexpr const char kMeasured[] = "9N016160100000001";
constexpr const char kSelfJudged[] = "9N016160200000001";
constexpr const char kSelfReported[] = "9N016160300000001";
constexpr const char kVisceralFat[] = "9N021000000000001";
constexpr const char kBmi[] = "9N011000000000001";
constexpr const char kMetabolic[] = "9N501000000000011";
constexpr const char kGuidance[] = "9N506000000000011";
const std::string kBmiValue = observation(kBmi) + "/a:value/@value";

const std::string kWaistAbsent = "　腹囲がありません";
const std::string kWaistNotPerformed = "　腹囲が未実施です";
const std::string kSelfReportedBmi = "　腹囲（自己申告）のみの場合、ＢＭＩが２２．０未満である必要があります。";
const std::string kMetabolicAbsent = "　メタボリックシンドローム判定がありません";
const std::string kMetabolicOutOfRange = "　メタボリックシンドローム判定に１～４以外のコードが入っています";
const std::string kGuidanceAbsent = "　保健指導レベルがありません";

// The fixture records the measured waist only, and a BMI of 22.5.
const Edit kNoMeasured = omitted(kMeasured);
Edit recorded(const std::string& code) { return placed(code, Place::kCheckupSection, "<value/>"); }
const Edit kSelfReportedOnly[] = {omitted(kMeasured), recorded(kSelfReported)};

TEST(WaistRules, GroupAndNegation) {
  expect_findings({
      {"none of the four", {kNoMeasured}, {kWaistAbsent}},
      {"measured negated", {negated(kMeasured)}, {kWaistNotPerformed}},
      {"measured with negationInd false", {negated(kMeasured, "false")}, {}},
      {"measured with empty negationInd", {negated(kMeasured, "")}, {kWaistNotPerformed}},
      {"measured with negationInd TRUE", {negated(kMeasured, "TRUE")}, {kWaistNotPerformed}},
      {"measured negated, visceral fat recorded", {negated(kMeasured), recorded(kVisceralFat)}, {}},
      {"visceral fat only", {kNoMeasured, recorded(kVisceralFat)}, {}},
      {"measured and visceral fat both negated",
       {negated(kMeasured), recorded(kVisceralFat), negated(kVisceralFat)},
       {kWaistNotPerformed}},
      {"measured only nested", {kNoMeasured, placed(kMeasured, Place::kNested)}, {kWaistAbsent}},
      {"measured only in another section", {kNoMeasured, placed(kMeasured, Place::kOtherSection)}, {}},
  });
}

// The fixture's BMI is 22.5; the BMI rule runs only when the self-reported
// waist is the one result recorded (kind sum 5).
TEST(WaistRules, SelfReportedWaistNeedsBmiBelow22) {
  const Edit& no_measured = kSelfReportedOnly[0];
  const Edit& self_reported = kSelfReportedOnly[1];
  expect_findings({
      {"self-reported only, BMI 22.5", {no_measured, self_reported}, {kSelfReportedBmi}},
      {"self-reported only, BMI 21.99", {no_measured, self_reported, set_to(kBmiValue, "21.99")}, {}},
      {"self-reported only, BMI 22", {no_measured, self_reported, set_to(kBmiValue, "22")}, {kSelfReportedBmi}},
      {"self-reported and measured", {self_reported, set_to(kBmiValue, "30")}, {}},
      {"self-reported and self-judged", {no_measured, self_reported, recorded(kSelfJudged)}, {}},
      {"self-reported with negationInd false",
       {no_measured, self_reported, negated(kSelfReported, "false")},
       {kSelfReportedBmi}},
      {"self-reported negated", {no_measured, self_reported, negated(kSelfReported)}, {kWaistNotPerformed}},
      {"self-reported, measured negated", {self_reported, negated(kMeasured)}, {kSelfReportedBmi}},
      {"self-reported and negated visceral fat, BMI 21.9",
       {no_measured, self_reported, recorded(kVisceralFat), negated(kVisceralFat), set_to(kBmiValue, "21.9")},
       {}},
      // A BMI that is not a number does not show that it is below 22.0.
      {"BMI without value", {no_measured, self_reported, removed(kBmiValue)}, {kSelfReportedBmi}},
      {"BMI absent", {no_measured, self_reported, omitted(kBmi)}, {"　ＢＭＩがありません", kSelfReportedBmi}},
      {"BMI negated at 20",
       {no_measured, self_reported, negated(kBmi), set_to(kBmiValue, "20")},
       {"　ＢＭＩが未実施です", kSelfReportedBmi}},
      {"BMI in full-width digits", {no_measured, self_reported, set_to(kBmiValue, "２１")}, {kSelfReportedBmi}},
  });
}

TEST(MetabolicGuidanceRules, CodedOneToFour) {
  expect_findings({
      {"codes 1 and 4", {set_to(value_code(kMetabolic), "1"), set_to(value_code(kGuidance), "4")}, {}},
      {"code 2.5", {set_to(value_code(kMetabolic), "2.5")}, {}},
      {"code 0", {set_to(value_code(kMetabolic), "0")}, {kMetabolicOutOfRange}},
      {"code 5", {set_to(value_code(kMetabolic), "5")}, {kMetabolicOutOfRange}},
      {"empty code", {set_to(value_code(kMetabolic), "")}, {kMetabolicOutOfRange}},
      {"code of letters", {set_to(value_code(kGuidance), "A")}, {"　保健指導レベルに１～４以外のコードが入っています"}},
      {"negated with code 1",
       {negated(kMetabolic), set_to(value_code(kMetabolic), "1")},
       {"　メタボリックシンドローム判定が未実施です"}},
      {"negated with code 9",
       {negated(kGuidance), set_to(value_code(kGuidance), "9")},
       {"　保健指導レベルが未実施です"}},
      {"negated as TRUE with code 9",
       {negated(kMetabolic, "TRUE"), set_to(value_code(kMetabolic), "9")},
       {kMetabolicOutOfRange}},
      {"negated without code", {negated(kMetabolic), removed(value_code(kMetabolic))}, {kMetabolicAbsent}},
      {"null flavor beside code 9",
       {set_to(value_code(kMetabolic), "9"),
        [](XmlDoc& d) { d.set_attribute(observation(kMetabolic) + "/a:value", "nullFlavor", "NI"); }},
       {}},
      {"null flavor without code", {null_flavor(kMetabolic)}, {kMetabolicAbsent}},
      {"guidance without value element", {removed(observation(kGuidance) + "/a:value")}, {kGuidanceAbsent}},
      {"both missing", {omitted(kMetabolic), omitted(kGuidance)}, {kMetabolicAbsent, kGuidanceAbsent}},
      {"judgement only nested",
       {omitted(kMetabolic), placed(kMetabolic, Place::kNested, coded("1"))},
       {kMetabolicAbsent}},
  });
}

}  // namespace
}  // namespace kenshin::testkit

#include "datachecks/insurer_cases.h"

namespace kenshin::testkit {
namespace {

constexpr const char kBunStandard[] = "3C025000002327101";
constexpr const char kBunOther[] = "3C025000002399801";
constexpr const char kOtherTests[] = "9N416000000000049";
constexpr const char kUrineOccultBlood[] = "1A100000000191111";
constexpr const char kAlbumin[] = "3A015000002399901";
constexpr const char kUricAcid[] = "3C020000002399901";
constexpr const char kRedCells[] = "2A020000001930101";
constexpr const char kHemoglobin[] = "2A030000001930101";
constexpr const char kHematocrit[] = "2A040000001930102";
constexpr const char kEcg[] = "9A110160700000011";
constexpr const char kCreatinine[] = "3C015000002327101";
constexpr const char kCreatinineOther[] = "3C015000002399901";
constexpr const char kWhiteCells[] = "2A010000001930101";

const std::string kBunPlace = "　ＢＵＮは、「その他の検査」（9N416000000000049）に全角で入力してください";
const std::string kNoUrineOccultBlood = "　尿潜血がありません";
const std::string kNoAlbumin = "　アルブミンがありません";
const std::string kNoOtherTests = "　ＢＵＮ（「その他の検査」）がありません";
const std::string kNoUricAcid = "　血清尿酸がありません";
const std::string kNoRedCells = "　赤血球数がありません";
const std::string kNoHemoglobin = "　血色素量［ヘモグロビン値］がありません";
const std::string kNoHematocrit = "　ヘマトクリット値がありません";
const std::string kNoEcg = "　心電図（所見の有無）がありません";
const std::string kNoCreatinine = "　血清クレアチニンがありません";
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

std::vector<Edit> plus_edits(std::vector<Edit> edits, const std::vector<Edit>& more) {
  edits.insert(edits.end(), more.begin(), more.end());
  return edits;
}

TEST(HomePrefectureRules, InsurerGates) {
  expect_findings({
      {"3958", with("39580001"), kLateElderlyFindings, line_with_insurer("39580001")},
      {"0058", with("00580001"), kMunicipalFindings, line_with_insurer("00580001")},
      {"00583049 is not exempt", with("00583049"), kMunicipalFindings, line_with_insurer("00583049")},
      {"exempt 00583048", with("00583048"), {}},
      {"exempt 00583022", with("00583022"), {}},
      {"exempt 00583030", with("00583030"), {}},
      {"exempt 00583022 with a standard BUN",
       with("00583022", {kBunValue}),
       {kBunPlace},
       line_with_insurer("00583022")},
      {"3958 of 7 characters", with("3958001"), {"　保険者番号を確認してください"}, line_with_insurer("")},
      {"0058 of 9 characters", with("005800011"), {"　保険者番号を確認してください"}, line_with_insurer("")},
      {"full-width 3958", with("３９５８０００１"), {}},
      {"3959", with("39590001"), {}},
      {"0059", with("00590001"), {}},
      {"3958 with every result", with("39580001", kAllAdded), {}},
      {"0058 with every result but white cells", with("00580001", {kAllAdded.begin(), kAllAdded.end() - 1}), {}},
  });
}

TEST(HomePrefectureRules, BunPlaceAndLookupForms) {
  const std::string late = line_with_insurer("39580001");
  auto late_elderly = [](std::vector<Edit> edits) { return with("39580001", std::move(edits)); };
  std::vector<Edit> nothing_nested = {omitted(kRedCells), omitted(kHemoglobin),         omitted(kHematocrit),
                                      omitted(kEcg),      omitted("9A110160800000049"), omitted(kCreatinine)};
  expect_findings({
      {"none of the ten",
       late_elderly(nothing_nested),
       {kNoUrineOccultBlood, kNoAlbumin, kNoOtherTests, kNoUricAcid, kNoRedCells, kNoHemoglobin, kNoHematocrit, kNoEcg,
        kNoCreatinine, kNoWhiteCells},
       late},
      {"standard BUN with value",
       late_elderly({kBunValue}),
       {kBunPlace, kNoUrineOccultBlood, kNoAlbumin, kNoUricAcid, kNoWhiteCells},
       late},
      {"two standard BUN codes with values, one finding",
       late_elderly({kBunValue, direct(kBunOther, "<value value=\"14\"/>")}),
       {kBunPlace, kNoUrineOccultBlood, kNoAlbumin, kNoUricAcid, kNoWhiteCells},
       late},
      {"standard BUN without value attribute", late_elderly({direct(kBunOther, "<value/>")}), kLateElderlyFindings,
       late},
      {"standard BUN with value only nested",
       late_elderly({placed(kBunStandard, Place::kNested, "<value value=\"14\"/>")}), kLateElderlyFindings, late},
      {"direct-form results only nested",
       late_elderly({placed(kUrineOccultBlood, Place::kNested), placed(kAlbumin, Place::kNested),
                     placed(kOtherTests, Place::kNested), placed(kUricAcid, Place::kNested), direct(kWhiteCells)}),
       {kNoUrineOccultBlood, kNoAlbumin, kNoOtherTests, kNoUricAcid},
       late},
      {"second codes of urine, albumin and uric acid",
       late_elderly({direct("1A100000000190111"), direct("3A015000002327101"), direct("3C020000002327101")}),
       {kNoOtherTests, kNoWhiteCells},
       late},
      {"either-form results only direct",
       late_elderly(plus_edits(nothing_nested, {direct(kRedCells), direct(kHemoglobin), direct(kHematocrit),
                                                direct(kEcg, coded("2")), direct(kCreatinine)})),
       kLateElderlyFindings, late},
      {"creatinine under its other code, nested",
       late_elderly({omitted(kCreatinine), placed(kCreatinineOther, Place::kNested)}), kLateElderlyFindings, late},
      {"required results negated",
       late_elderly({kAllAdded[0], negated(kUrineOccultBlood), negated(kRedCells)}),
       {kNoAlbumin, kNoOtherTests, kNoUricAcid, kNoWhiteCells},
       late},
  });
}

}  // namespace
}  // namespace kenshin::testkit

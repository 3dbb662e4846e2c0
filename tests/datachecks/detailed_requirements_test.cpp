#include "datachecks/data_cases.h"

namespace kenshin::testkit {
namespace {

constexpr const char kEcgReason[] = "9A110161000000049";
constexpr const char kEcgTarget[] = "9A110161600000011";
constexpr const char kFundusReason[] = "9E100161000000049";
constexpr const char kFundusTarget[] = "9E100161600000011";
constexpr const char kAnemiaReason[] = "2A020161001930149";
constexpr const char kCreatinineReason[] = "3C015161002399949";
constexpr const char kCreatinineTarget[] = "3C015161602399911";
constexpr const char kEgfr[] = "8A065000002391901";

const std::string kNoEcgReason = "　詳細検査の場合、心電図（実施理由）が必要です";
const std::string kNoEcgTarget = "　詳細検査の場合、心電図（対象者）が必要です";
const std::string kNoFundusReason = "　眼底検査（実施理由）がありません";
const std::string kNoFundusTarget = "　眼底検査（対象者）がありません";
const std::string kNoAnemiaReason = "　詳細検査の場合、貧血（実施理由）が必要です";
const std::string kNoCreatinineReason = "　詳細検査の場合、クレアチニン（実施理由）が必要です";
const std::string kNoCreatinineTarget = "　詳細検査の場合、クレアチニン（対象者）が必要です";
const std::string kNoEgfr = "　詳細検査の場合、クレアチニン（eGFR）が必要です";

// The complete claims document bills all four detailed items (codes 1 anemia,
// 2 ECG, 3 fundus, 4 creatinine) under claim type 2. A detailed item is
// unbilled by giving its observation a code of no detailed item, which leaves
// every amount and so every settlement rule as it was.
XmlDoc billing(const std::string& billed) {
  XmlDoc claims = XmlDoc::claims();
  for (char code : std::string("1234")) {
    if (billed.find(code) == std::string::npos) {
      claims.set("//a:unitPriceDetail/a:observation[@code='" + std::string(1, code) + "']/@code", "9");
    }
  }
  return claims;
}

const std::vector<Edit> kNothingStated = {
    omitted(kEcgReason),    omitted(kEcgTarget),        omitted(kFundusReason),     omitted(kFundusTarget),
    omitted(kAnemiaReason), omitted(kCreatinineReason), omitted(kCreatinineTarget), omitted(kEgfr)};

TEST(DetailedRequirements, FlagGroupsInTheirOrderAndStatedByAValueElement) {
  const std::string reason_value = observation(kEcgReason) + "/a:value";
  const Edit direct_reason = placed(kEcgReason, Place::kCheckupSection, "<value>理由</value>");
  struct Case {
    const char* name;
    std::string billed;  // the detailed item codes left billed
    std::vector<Edit> edits;
    std::vector<std::string> messages;
  } cases[] = {
      {"nothing billed, nothing stated", "", kNothingStated, {}},
      {"all billed, nothing stated",
       "1234",
       kNothingStated,
       {kNoEcgReason, kNoEcgTarget, kNoFundusReason, kNoFundusTarget, kNoAnemiaReason, kNoCreatinineReason,
        kNoCreatinineTarget, kNoEgfr}},
      {"ECG billed", "2", kNothingStated, {kNoEcgReason, kNoEcgTarget}},
      {"fundus billed", "3", kNothingStated, {kNoFundusReason, kNoFundusTarget}},
      {"anemia billed", "1", kNothingStated, {kNoAnemiaReason}},
      {"creatinine billed", "4", kNothingStated, {kNoCreatinineReason, kNoCreatinineTarget, kNoEgfr}},
      {"reason without value element", "2", {removed(reason_value)}, {kNoEcgReason}},
      {"nested without value, direct with value", "2", {removed(reason_value), direct_reason}, {}},
      {"value with only a null flavor",
       "2",
       {removed(reason_value), [](XmlDoc& d) { d.append_xml(observation(kEcgReason), "<value nullFlavor=\"NI\"/>"); }},
       {}},
      {"negated reason with value", "2", {negated(kEcgReason)}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    expect_sequence({{edited(c.edits), c.messages, "", billing(c.billed)}});
  }
}

}  // namespace
}  // namespace kenshin::testkit

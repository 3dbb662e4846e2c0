#include "datachecks/item_cases.h"

namespace kenshin::testkit {
namespace {

constexpr const char kFasting[] = "3D010000001926101";
constexpr const char kFastingOther[] = "3D010000001999901";
constexpr const char kRandom[] = "3D010129901926101";
constexpr const char kHbA1c[] = "3D046000001906202";
constexpr const char kHbA1cOther[] = "3D046000001999902";
const std::string kTiming = value_code("9N141000000000011");

const std::string kNotPerformed = "　血糖検査が未実施です";
const std::string kFastingTiming =
    "　空腹時血糖のみで採血時間がある場合、採血時間は２（食後１０時間以上）である必要があります";
const std::string kRandomTiming =
    "　随時血糖のみで採血時間がある場合、採血時間は３（食後３．５時間以上１０時間未満）である必要があります";

// The fixture has a fasting glucose and an HbA1c in the checkup section, timing 2.
const Edit kFastingOnly = omitted(kHbA1c);
const Edit kNoFasting = omitted(kFasting);

TEST(GlucoseRules, ClassAndTiming) {
  expect_findings({
      {"fasting only, timing 1", {kFastingOnly, set_to(kTiming, "1")}, {kFastingTiming}},
      {"fasting only, timing 2", {kFastingOnly}, {}},
      {"fasting only, timing 02", {kFastingOnly, set_to(kTiming, "02")}, {}},
      {"fasting only, no timing", {kFastingOnly, omitted("9N141000000000011")}, {}},
      {"fasting only, empty timing", {kFastingOnly, set_to(kTiming, "")}, {kFastingTiming}},
      {"fasting only, timing of letters", {kFastingOnly, set_to(kTiming, "B")}, {kFastingTiming}},
      {"HbA1c too, timing 1", {set_to(kTiming, "1")}, {}},
      {"fasting, HbA1c in another section",
       {kFastingOnly, placed(kHbA1cOther, Place::kOtherSection), set_to(kTiming, "1")},
       {}},
      {"fasting, HbA1c elsewhere with negationInd false",
       {kFastingOnly, placed(kHbA1cOther, Place::kOtherSection), negated(kHbA1cOther, "false"), set_to(kTiming, "1")},
       {}},
      {"fasting, HbA1c elsewhere with negationInd TRUE",
       {kFastingOnly, placed(kHbA1cOther, Place::kOtherSection), negated(kHbA1cOther, "TRUE"), set_to(kTiming, "1")},
       {kFastingTiming}},
      {"fasting, HbA1c nested",
       {kFastingOnly, placed(kHbA1cOther, Place::kNested), set_to(kTiming, "1")},
       {kFastingTiming}},
      {"fasting with negationInd false",
       {kFastingOnly, negated(kFasting, "false"), set_to(kTiming, "1")},
       {kFastingTiming}},
      {"random only, timing 2", {kFastingOnly, kNoFasting, placed(kRandom, Place::kCheckupSection)}, {kRandomTiming}},
      {"random only, timing 3",
       {kFastingOnly, kNoFasting, placed(kRandom, Place::kCheckupSection), set_to(kTiming, "3.0")},
       {}},
      {"random only, empty timing",
       {kFastingOnly, kNoFasting, placed(kRandom, Place::kCheckupSection), set_to(kTiming, "")},
       {kRandomTiming}},
      {"random, HbA1c only in another section",
       {kFastingOnly, kNoFasting, placed(kRandom, Place::kCheckupSection), placed(kHbA1cOther, Place::kOtherSection)},
       {kRandomTiming}},
      {"fasting and random", {kFastingOnly, placed(kRandom, Place::kCheckupSection)}, {kRandomTiming}},
      {"random negated, fasting performed",
       {kFastingOnly, placed(kRandom, Place::kCheckupSection), negated(kRandom), set_to(kTiming, "3")},
       {kFastingTiming}},
      {"HbA1c negated, fasting performed", {negated(kHbA1c), set_to(kTiming, "1")}, {kFastingTiming}},
      {"random only in another section",
       {kFastingOnly, placed(kRandom, Place::kOtherSection), set_to(kTiming, "1")},
       {kFastingTiming}},
  });
}

TEST(GlucoseRules, NotPerformedOnlyWhenNothingCountsInTheCheckupSection) {
  expect_findings({
      {"both negated", {negated(kFasting), negated(kHbA1c), set_to(kTiming, "1")}, {kNotPerformed}},
      {"negated as TRUE and as empty", {negated(kFasting, "TRUE"), negated(kHbA1c, "")}, {kNotPerformed}},
      {"negated as False", {kFastingOnly, negated(kFasting, "False")}, {kNotPerformed}},
      {"negated here, performed elsewhere",
       {kFastingOnly, negated(kFasting), placed(kFastingOther, Place::kOtherSection)},
       {kNotPerformed}},
      {"none at all", {kFastingOnly, kNoFasting, set_to(kTiming, "1")}, {}},
      {"only in another section",
       {kFastingOnly, kNoFasting, placed(kFasting, Place::kOtherSection), set_to(kTiming, "1")},
       {}},
      {"only nested in the checkup section",
       {kFastingOnly, kNoFasting, placed(kFasting, Place::kNested), negated(kFasting)},
       {}},
  });
}

}  // namespace
}  // namespace kenshin::testkit

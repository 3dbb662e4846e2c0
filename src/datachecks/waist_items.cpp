#include <array>

#include "datachecks/item_groups.h"
#include "datachecks/observation_patterns.h"
#include "base/text.h"

namespace kenshin::datachecks {

namespace {

struct WaistCode {
  std::string_view code;
  int weight;
};

// The waist may be measured, judged or reported by the examinee; the visceral
// fat area stands in for it. The weights make the sum 5 exactly when the
// self-reported waist is the only result (the other three reach at most 3).
constexpr std::array<WaistCode, 4> kWaistCodes{{
    {"9N016160100000001", 1},  // measured
    {"9N016160200000001", 1},  // self-judged
    {"9N016160300000001", 5},  // self-reported
    {"9N021000000000001", 1},  // visceral fat area
}};
constexpr int kOnlySelfReported = 5;

constexpr std::string_view kWaistNotPerformed = "　腹囲が未実施です";
constexpr std::string_view kWaistAbsent = "　腹囲がありません";

// A self-reported waist alone is accepted for a BMI below 22.0 only.
constexpr double kSelfReportedBmiLimit = 22;
constexpr std::string_view kSelfReportedBmi =
    "　腹囲（自己申告）のみの場合、ＢＭＩが２２．０未満である必要があります。";

// Nothing shows that a BMI that is not a number ("ng", empty, other text) is below the limit.
bool below_self_reported_limit(std::string_view bmi_value) {
  std::optional<double> bmi = base::numeric_value(bmi_value);
  return bmi && *bmi < kSelfReportedBmiLimit;
}

}  // namespace

void waist_items(DataCheck& check) {
  GroupTally tally;
  int kind_sum = 0;
  for (const WaistCode& waist : kWaistCodes) {
    ItemState state = tally.examine(check, waist.code, Lookup::kDirect, Negation::kAnyButFalse);
    if (state == ItemState::kPerformed) kind_sum += waist.weight;
  }
  report_group(check, tally, kWaistAbsent, kWaistNotPerformed);
  if (kind_sum == kOnlySelfReported && !below_self_reported_limit(check.bmi_value)) {
    report_finding(check, kSelfReportedBmi, check.bmi_node, kBmiCode);
  }
}

}  // namespace kenshin::datachecks

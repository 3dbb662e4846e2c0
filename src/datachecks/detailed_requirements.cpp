#include <array>
#include <cstdint>

#include "datachecks/item_groups.h"
#include "datachecks/observation_patterns.h"

namespace kenshin::datachecks {

namespace {

// A detailed item the settlement bills needs its reason, target or eGFR in
// the data document. Which items are billed the claims pre-read has set.
struct DetailRequirement {
  int16_t RunState::*billed;
  std::string_view code;
  std::string_view not_stated;
};

// Grouped ECG, fundus, anemia, creatinine (not in the settlement's code order).
constexpr std::array<DetailRequirement, 8> kRequirements{{
    {&RunState::ecg_detail_flag, "9A110161000000049", "　詳細検査の場合、心電図（実施理由）が必要です"},
    {&RunState::ecg_detail_flag, "9A110161600000011", "　詳細検査の場合、心電図（対象者）が必要です"},
    {&RunState::fundus_detail_flag, "9E100161000000049", "　眼底検査（実施理由）がありません"},
    {&RunState::fundus_detail_flag, "9E100161600000011", "　眼底検査（対象者）がありません"},
    {&RunState::anemia_detail_flag, "2A020161001930149", "　詳細検査の場合、貧血（実施理由）が必要です"},
    {&RunState::creatinine_detail_flag, "3C015161002399949", "　詳細検査の場合、クレアチニン（実施理由）が必要です"},
    {&RunState::creatinine_detail_flag, "3C015161602399911", "　詳細検査の場合、クレアチニン（対象者）が必要です"},
    {&RunState::creatinine_detail_flag, "8A065000002391901", "　詳細検査の場合、クレアチニン（eGFR）が必要です"},
}};

}  // namespace

void detailed_requirements(DataCheck& check) {
  for (const DetailRequirement& requirement : kRequirements) {
    if (check.run.*requirement.billed != kFlagSet) continue;
    // Stated: a value element in either form; its content and negationInd are not read.
    if (!selects_in(check, requirement.code, Lookup::kNestedFirst, kValueElementSuffix)) {
      report_finding(check, requirement.not_stated, {}, requirement.code);
    }
  }
}

}  // namespace kenshin::datachecks

#include <array>

#include "datachecks/item_groups.h"
#include "datachecks/observation_patterns.h"

namespace kenshin::datachecks {

namespace {

// Each test under its alternative codes (blood pressure: 1st reading, 2nd
// reading, other; lipids: two assay methods, other).
constexpr std::string_view kSystolic[] = {"9A751000000000001", "9A752000000000001", "9A755000000000001"};
constexpr std::string_view kDiastolic[] = {"9A761000000000001", "9A762000000000001", "9A765000000000001"};
constexpr std::string_view kTriglycerides[] = {"3F015000002327101", "3F015000002327201", "3F015000002399901"};
// Since FY2024 also the non-fasting triglycerides, after the fasting ones.
constexpr std::string_view kTriglycerides2024[] = {"3F015000002327101", "3F015000002327201", "3F015000002399901",
                                                   "3F015129902327101", "3F015129902327201", "3F015129902399901"};
constexpr std::string_view kHdl[] = {"3F070000002327101", "3F070000002327201", "3F070000002399901"};

constexpr std::array<MethodGroup, 4> kGroups{{
    {kSystolic, "　収縮期血圧がありません", "　収縮期血圧が未実施です"},
    {kDiastolic, "　拡張期血圧がありません", "　拡張期血圧が未実施です"},
    {kTriglycerides, "　中性脂肪がありません", "　中性脂肪が未実施です"},
    {kHdl, "　ＨＤＬコレステロールがありません", "　ＨＤＬコレステロールが未実施です"},
}};
constexpr size_t kTriglycerideGroup = 2;
constexpr MethodGroup kTriglyceridesGroup2024{kTriglycerides2024, "　中性脂肪がありません", "　中性脂肪が未実施です"};

}  // namespace

void blood_pressure_lipid_items(DataCheck& check) {
  for (size_t i = 0; i < kGroups.size(); ++i) {
    bool fy2024 = i == kTriglycerideGroup && check.run.edition == base::Edition::k2024;
    check_method_group(check, fy2024 ? kTriglyceridesGroup2024 : kGroups[i]);
  }
}

}  // namespace kenshin::datachecks

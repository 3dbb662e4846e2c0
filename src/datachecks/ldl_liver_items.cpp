#include <array>

#include "datachecks/item_groups.h"
#include "datachecks/observation_patterns.h"

namespace kenshin::datachecks {

namespace {

// One code per measuring method. The last LDL code (3F069…) belongs to
// LDL cholesterol as much as the four 3F077… codes.
constexpr std::string_view kLdl[] = {"3F077000002327101", "3F077000002327201", "3F077000002399901", "3F077000002391901",
                                     "3F069000002391901"};
constexpr std::string_view kGot[] = {"3B035000002327201", "3B035000002399901"};
constexpr std::string_view kGpt[] = {"3B045000002327201", "3B045000002399901"};
constexpr std::string_view kGammaGt[] = {"3B090000002327101", "3B090000002399901"};

constexpr std::array<MethodGroup, 4> kGroups{{
    {kLdl, "　ＬＤＬコレステロールがありません", "　ＬＤＬコレステロールが未実施です"},
    {kGot, "　ＧＯＴ（ＡＳＴ）がありません", "　ＧＯＴ（ＡＳＴ）が未実施です"},
    {kGpt, "　ＧＰＴ（ＡＬＴ）がありません", "　ＧＰＴ（ＡＬＴ）が未実施です"},
    // Written in ASCII after the gamma, unlike the full-width labels above.
    {kGammaGt, "　γ-GT(γ-GTP)がありません", "　γ-GT(γ-GTP)が未実施です"},
}};

}  // namespace

void ldl_liver_items(DataCheck& check) {
  for (const MethodGroup& group : kGroups) check_method_group(check, group);
}

}  // namespace kenshin::datachecks

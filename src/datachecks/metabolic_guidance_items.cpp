#include <array>

#include "datachecks/item_groups.h"
#include "datachecks/observation_patterns.h"

namespace kenshin::datachecks {

namespace {

// Coded 1 to 4. An observation without a value code counts as absent, even
// when it is negated or carries a null flavor, so there is no no-code message.
constexpr std::array<CodedItem, 2> kSummaries{{
    {"9N501000000000011",
     4,
     "　メタボリックシンドローム判定がありません",
     "　メタボリックシンドローム判定が未実施です",
     {},
     "　メタボリックシンドローム判定に１～４以外のコードが入っています",
     Lookup::kDirect,
     Presence::kValueCode},
    {"9N506000000000011",
     4,
     "　保健指導レベルがありません",
     "　保健指導レベルが未実施です",
     {},
     "　保健指導レベルに１～４以外のコードが入っています",
     Lookup::kDirect,
     Presence::kValueCode},
}};

}  // namespace

void metabolic_guidance_items(DataCheck& check) {
  for (const CodedItem& summary : kSummaries) check_coded_item(check, summary);
}

}  // namespace kenshin::datachecks

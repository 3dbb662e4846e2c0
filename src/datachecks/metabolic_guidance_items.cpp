#include <array>

#include "datachecks/item_groups.h"
#include "datachecks/observation_patterns.h"

namespace kenshin::datachecks {

namespace {

// Coded 1 to 4. An observation without a value code counts as absent, even
// when it is negated or carries a null flavor, so there is no no-code message.
constexpr CodedItem summary(std::string_view code, std::string_view absent, std::string_view not_performed,
                            std::string_view out_of_range) {
  return {code, 4, absent, not_performed, {}, out_of_range, Lookup::kDirect, Presence::kValueCode};
}

constexpr std::array<CodedItem, 2> kSummaries{{
    summary("9N501000000000011", "　メタボリックシンドローム判定がありません",
            "　メタボリックシンドローム判定が未実施です",
            "　メタボリックシンドローム判定に１～４以外のコードが入っています"),
    summary("9N506000000000011", "　保健指導レベルがありません", "　保健指導レベルが未実施です",
            "　保健指導レベルに１～４以外のコードが入っています"),
}};

}  // namespace

void metabolic_guidance_items(DataCheck& check) {
  for (const CodedItem& item : kSummaries) check_coded_item(check, item);
}

}  // namespace kenshin::datachecks

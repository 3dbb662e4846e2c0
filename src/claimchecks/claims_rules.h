// The groups of claims rules, each a straight run of tests over the loaded
// settlement document; run_claims_rules calls them in order.
#pragma once

#include "claimchecks/claims_check.h"

namespace kenshin::claimchecks {

// The settlement belongs to the data document's examinee and ticket, and its
// subject and organisation identifiers are present and plausible.
void identity_rules(ClaimsCheck& check);

}  // namespace kenshin::claimchecks

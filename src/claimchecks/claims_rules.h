// The groups of claims rules, each a straight run of tests over the loaded
// settlement document; run_claims_rules calls them in order.
#pragma once

#include "claimchecks/claims_check.h"

namespace kenshin::claimchecks {

// The settlement belongs to the data document's examinee and ticket, and its
// subject and organisation identifiers are present and plausible.
void identity_rules(ClaimsCheck& check);

// The claim type (as the pre-read found it) and the commission type codes.
void claim_code_rules(ClaimsCheck& check);

// The price and payment elements each claim type forbids or requires.
void claim_type_matrix(ClaimsCheck& check);

// The basic checkup's unit price and charge type, for every claim type but 5.
void basic_checkup_rules(ClaimsCheck& check);

}  // namespace kenshin::claimchecks

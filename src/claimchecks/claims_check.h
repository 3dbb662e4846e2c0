// The checks of one settlement (claims) document: the frame that loads it and
// sets the record header for the claims side, then the identity, claim-type
// and amount rules in their fixed order.
#pragma once

#include "app/run_state.h"
#include "docs/xml.h"

namespace kenshin::claimchecks {

// One claims document being checked.
struct ClaimsCheck {
  RunState& run;
  const docs::Document& doc;
};

// Runs the claims document checks of the current pair.
void check_claims_document(RunState& run);

// The rules, in order; each reports through report::report_finding.
void run_claims_rules(ClaimsCheck& check);

}  // namespace kenshin::claimchecks

// The checks of one settlement (claims) document: the frame that loads it and
// sets the record header for the claims side, then the identity, claim-type
// and amount rules in their fixed order.
#pragma once

#include <cstdint>
#include <string_view>

#include "docs/xml.h"
#include "run/run_state.h"

namespace kenshin::claimchecks {

// An amount of the settlement. Malformed when its text is not a number or it
// leaves the 32-bit signed range; it has then been reported where it was
// read, and no total is compared with it.
struct Amount {
  int64_t value = 0;
  bool malformed = false;
  docs::Node node;  // where it was read (the malformed text, for a malformed sum); none for a sum
};

// The amounts the claim-type rules read on the way to the totals. An amount
// the claim type does not bill stays 0.
struct BilledAmounts {
  Amount detailed_window_payment;
  Amount other_window_payment;
  Amount detailed_unit_price_sum;
  Amount other_unit_price_sum;
  Amount basic_unit_price;
};

// One claims document being checked.
struct ClaimsCheck {
  RunState& run;
  const docs::Document& doc;
  BilledAmounts billed;
};

// Runs the claims document checks of the current pair on its loaded claims
// document; nullptr reports the load failure.
void check_claims_document(RunState& run, const docs::Document* doc);

// The rules, in order; each reports through report_finding below.
void run_claims_rules(ClaimsCheck& check);

// The message for the current pair (the record header lines still due, then
// the message), with the item the rule asked about and the node it judged —
// its text and line — in the finding's record.
void report_finding(ClaimsCheck& check, std::string_view message, docs::Node judged = {},
                    std::string_view item_code = {});

}  // namespace kenshin::claimchecks

// The groups of claims rules, each a straight run of tests over the loaded
// settlement document; run_claims_rules calls them in order.
#pragma once

#include <optional>
#include <string_view>

#include "claimchecks/claims_check.h"

namespace kenshin::claimchecks {

// The settlement belongs to the data document's examinee and ticket, and its
// subject and organisation identifiers are present and plausible.
void identity_rules(ClaimsCheck& check);

// The claim type (as the pre-read found it) and the commission type codes.
void claim_code_rules(ClaimsCheck& check);

// The price and payment elements each claim type forbids or requires; reads
// the window payments the claim type bills besides the basic one.
void claim_type_matrix(ClaimsCheck& check);

// Adds up the detailed and the other unit prices. Writes nothing unless an
// amount is malformed.
void unit_price_sums(ClaimsCheck& check);

// The basic checkup's unit price and charge type, for every claim type but 5;
// reads the basic unit price.
void basic_checkup_rules(ClaimsCheck& check);

// Unit amount, payment amount and the amount claimed from the insurer against
// the prices and payments they total.
void amount_total_rules(ClaimsCheck& check);

// Amount readings. Each reports `malformed`, once, where it meets a text that
// is not a number, or a rounded amount or running sum outside the 32-bit
// signed range; the amount it returns is then marked malformed.

// The first node's amount; nullopt when there is no node.
std::optional<Amount> read_amount(ClaimsCheck& check, std::string_view path, std::string_view malformed);

// A window payment beside the basic one: no node, or an empty text, is 0.
Amount read_window_payment(ClaimsCheck& check, std::string_view path, std::string_view malformed);

// The amounts of every node added in document order, rounded after each
// addition; 0 when there are none.
Amount sum_amounts(ClaimsCheck& check, std::string_view path, std::string_view malformed);

}  // namespace kenshin::claimchecks

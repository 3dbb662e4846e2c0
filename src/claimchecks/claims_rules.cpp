#include "claimchecks/claims_rules.h"

namespace kenshin::claimchecks {

void run_claims_rules(ClaimsCheck& check) {
  identity_rules(check);
  claim_code_rules(check);
  claim_type_matrix(check);
  unit_price_sums(check);
  basic_checkup_rules(check);
  amount_total_rules(check);
}

}  // namespace kenshin::claimchecks

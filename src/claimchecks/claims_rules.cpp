#include "claimchecks/claims_rules.h"

namespace kenshin::claimchecks {

void run_claims_rules(ClaimsCheck& check) {
  identity_rules(check);
}

}  // namespace kenshin::claimchecks

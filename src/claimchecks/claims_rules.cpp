#include "claimchecks/claims_check.h"

namespace kenshin::claimchecks {

void run_claims_rules(ClaimsCheck& /*check*/) {}

}  // namespace kenshin::claimchecks

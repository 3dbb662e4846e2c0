#include "claimchecks/claims_check.h"

#include "docs/pair_loop.h"
#include "report/report.h"

namespace kenshin::claimchecks {

void check_claims_document(RunState& run) {
  report::begin_claims_document(run);

  std::optional<docs::Document> doc = docs::load_document(docs::claims_document_path(run), docs::Bindings::kClaims);
  if (!doc) {
    report::report_load_failure(run, run.claims_file());
    return;
  }
  ClaimsCheck check{run, *doc, {}};
  run_claims_rules(check);
}

void report_finding(ClaimsCheck& check, std::string_view message) { report::report_finding(check.run, message); }

}  // namespace kenshin::claimchecks

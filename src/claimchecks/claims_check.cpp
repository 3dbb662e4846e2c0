#include "claimchecks/claims_check.h"

#include "docs/pair_loop.h"
#include "report/report.h"

namespace kenshin::claimchecks {

void check_claims_document(RunState& run) {
  run.data_file_line_flag = kFlagSet;
  run.claims_file_line_flag = kFlagClear;

  std::optional<docs::Document> doc = docs::load_document(docs::claims_document_path(run), docs::Bindings::kClaims);
  if (!doc) {
    report::open_report(run);
    report::write_line(run, run.claims_file() + std::string(report::kLoadFailedSuffix));
    return;
  }
  ClaimsCheck check{run, *doc, {}};
  run_claims_rules(check);
}

}  // namespace kenshin::claimchecks

#include "claimchecks/claims_check.h"

#include "report/report.h"

namespace kenshin::claimchecks {

void check_claims_document(RunState& run, const docs::Document* doc) {
  report::begin_claims_document(run);

  if (doc == nullptr) {
    report::report_load_failure(run, run.claims_file());
    return;
  }
  ClaimsCheck check{run, *doc, {}};
  run_claims_rules(check);
}

void report_finding(ClaimsCheck& check, std::string_view message, docs::Node judged, std::string_view item_code) {
  report::report_finding(check.run, message, {item_code, docs::node_text(judged), docs::node_line(judged)});
}

}  // namespace kenshin::claimchecks

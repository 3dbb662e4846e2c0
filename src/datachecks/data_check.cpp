#include "datachecks/data_check.h"

#include "docs/pair_loop.h"
#include "report/report.h"

namespace kenshin::datachecks {

void check_data_document(RunState& run) {
  report::begin_data_document(run);

  std::optional<docs::Document> doc = docs::load_document(docs::data_document_path(run), docs::Bindings::kData);
  if (!doc) {
    report::report_load_failure(run, run.data_file());
    return;
  }

  run.ticket_number = docs::select_text(*doc, kTicketNumberPath).value_or("");
  run.examinee_name = docs::select_text(*doc, kExamineeNamePath).value_or("");
  std::string insurer = docs::select_text(*doc, kInsurerNumberPath).value_or("");
  if (docs::text_length(insurer) == 8) run.insurer_number = insurer;

  DataCheck check{run, *doc, 0, {}};
  run_header_rules(check);
  run_item_rules(check);
}

void report_finding(DataCheck& check, std::string_view message) { report::report_finding(check.run, message); }

}  // namespace kenshin::datachecks

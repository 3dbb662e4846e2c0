#include "datachecks/data_check.h"

#include "base/text.h"
#include "datachecks/insurer_prefix.h"
#include "datachecks/item_groups.h"
#include "report/report.h"

namespace kenshin::datachecks {

void check_data_document(RunState& run, const docs::Document* doc) {
  report::begin_data_document(run);

  if (doc == nullptr) {
    report::report_load_failure(run, run.data_file());
    return;
  }

  run.ticket_number = docs::select_text(*doc, kTicketNumberPath).value_or("");
  run.examinee_name = docs::select_text(*doc, kExamineeNamePath).value_or("");
  std::string insurer = docs::select_text(*doc, kInsurerNumberPath).value_or("");
  if (base::text_length(insurer) == 8) run.insurer_number = insurer;

  DataCheck check{run, *doc, 0, {}, {}};
  run_data_rules(check);
}

void run_data_rules(DataCheck& check) {
  run_header_rules(check);
  measurement_items(check);
  blood_pressure_lipid_items(check);
  ldl_liver_items(check);
  blood_glucose_items(check);
  judgement_medication_items(check);
  ecg_urine_items(check);
  const std::string& insurer = check.run.insurer_number;
  if (!insurer_begins_with(insurer, kLateElderlyPrefix)) {
    waist_items(check);
    metabolic_guidance_items(check);
  }
  fundus_items(check);
  detailed_requirements(check);
  if (insurer_begins_with(insurer, kHomeLateElderlyPrefix) || insurer_begins_with(insurer, kHomeMunicipalPrefix)) {
    home_prefecture_items(check);
  }
}

void report_finding(DataCheck& check, std::string_view message, docs::Node judged, std::string_view item_code) {
  report::report_finding(check.run, message, {item_code, docs::node_text(judged), docs::node_line(judged)});
}

}  // namespace kenshin::datachecks

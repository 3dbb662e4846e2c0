#include "datachecks/data_check.h"
#include "datachecks/item_groups.h"

namespace kenshin::datachecks {

void run_item_rules(DataCheck& check) {
  measurement_items(check);
  blood_pressure_lipid_items(check);
  ldl_liver_items(check);
  blood_glucose_items(check);
  judgement_medication_items(check);
  ecg_urine_items(check);
  // The groups that follow the urine groups, in this order:
  // waist circumference, metabolic syndrome judgement, guidance level (not for insurer numbers 39…)
  // fundus gradings
  // detailed-checkup requirements
  // home-prefecture insurer items
}

}  // namespace kenshin::datachecks

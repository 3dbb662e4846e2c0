#include "datachecks/data_check.h"
#include "datachecks/insurer_prefix.h"
#include "datachecks/item_groups.h"

namespace kenshin::datachecks {

void run_item_rules(DataCheck& check) {
  measurement_items(check);
  blood_pressure_lipid_items(check);
  ldl_liver_items(check);
  blood_glucose_items(check);
  judgement_medication_items(check);
  ecg_urine_items(check);
  if (!insurer_begins_with(check.run.insurer_number, kLateElderlyPrefix)) {
    waist_items(check);
    metabolic_guidance_items(check);
  }
  fundus_items(check);
  detailed_requirements(check);
  home_prefecture_items(check);
}

}  // namespace kenshin::datachecks

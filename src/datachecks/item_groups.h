// The groups of item rules of a data document, each one table of rows over
// the observation patterns. run_data_rules() calls them in their fixed order.
#pragma once

#include "datachecks/data_check.h"

namespace kenshin::datachecks {

// Body height, body weight, BMI (capturing the BMI value), medical history,
// subjective and objective symptoms.
void measurement_items(DataCheck& check);

// Systolic and diastolic blood pressure, triglycerides, HDL cholesterol.
void blood_pressure_lipid_items(DataCheck& check);

// LDL cholesterol, GOT (AST), GPT (ALT), γ-GT.
void ldl_liver_items(DataCheck& check);

}  // namespace kenshin::datachecks

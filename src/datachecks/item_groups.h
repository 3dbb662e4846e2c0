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

// Whether a blood glucose test was done (fasting, random or HbA1c results in
// the checkup section), and the blood-draw timing a fasting-only or
// random-only document must state.
void blood_glucose_items(DataCheck& check);

// Doctor's judgement and the doctor's name, medication 1 to 3, smoking.
void judgement_medication_items(DataCheck& check);

// ECG result (optional) with its findings; urine sugar and urine protein
// for male examinees.
void ecg_urine_items(DataCheck& check);

// Waist circumference (or visceral fat area), and a self-reported waist
// alone only with a BMI below 22.0.
void waist_items(DataCheck& check);

// Metabolic syndrome judgement and health-guidance level, coded 1 to 4.
void metabolic_guidance_items(DataCheck& check);

// The six optional fundus gradings, each within its system's codes.
void fundus_items(DataCheck& check);

// Reason, target and eGFR of the detailed items the settlement bills.
void detailed_requirements(DataCheck& check);

// The further results and the BUN entry place the home prefecture's
// insurers ask for; for those insurers only.
void home_prefecture_items(DataCheck& check);

}  // namespace kenshin::datachecks

// The checks of one checkup data document (HL7 CDA): the frame that loads it,
// resets the record header and captures the examinee's identity, then the
// header rules and the item rules in their fixed order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "docs/xml.h"
#include "run/run_state.h"

namespace kenshin::datachecks {

inline constexpr const char kTicketNumberPath[] = "//a:participant/a:associatedEntity/a:id/@extension";
inline constexpr const char kExamineeNamePath[] = "//a:recordTarget/a:patientRole/a:patient/a:name";
inline constexpr const char kInsurerNumberPath[] =
    "//a:recordTarget/a:patientRole/a:id[@root='1.2.392.200119.6.101']/@extension";

// One data document being checked, with the working values its rules pass
// on to later rules.
struct DataCheck {
  RunState& run;
  const docs::Document& doc;
  // The examinee's sex as a whole number (1 male, 2 female); 0 when the
  // header has none or it is not a 16-bit number. Gates the urine rules.
  int16_t sex_code = 0;
  // The BMI as recorded: empty when BMI is absent or not performed, "ng"
  // when a performed BMI has no value. Read by the waist rules.
  std::string bmi_value;
  docs::Node bmi_node;  // the BMI value read, if any
};

// Runs the data document checks of the current pair on its loaded data
// document; nullptr reports the load failure.
void check_data_document(RunState& run, const docs::Document* doc);

// Every rule in its fixed order: the header rules, then the item groups.
// Each reports through report_finding below.
void run_data_rules(DataCheck& check);
void run_header_rules(DataCheck& check);

// The message for the current pair (the record header lines still due, then
// the message), with the item the rule asked about and the node it judged —
// its text and line — in the finding's record.
void report_finding(DataCheck& check, std::string_view message, docs::Node judged = {},
                    std::string_view item_code = {});

}  // namespace kenshin::datachecks

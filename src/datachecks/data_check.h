// The checks of one checkup data document (HL7 CDA): the frame that loads it,
// resets the record header and captures the examinee's identity, then the
// header rules and the item rules in their fixed order.
#pragma once

#include <cstdint>
#include <string>

#include "app/run_state.h"
#include "docs/xml.h"

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
  int16_t sex_code = 0;
  std::string bmi_value;
  std::optional<double> code_value;
};

// Runs the data document checks of the current pair.
void check_data_document(RunState& run);

// The rules, in order; each group reports through report::report_finding.
void run_header_rules(DataCheck& check);
void run_item_rules(DataCheck& check);

}  // namespace kenshin::datachecks

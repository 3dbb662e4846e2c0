// Cases for the rules an insurer number switches on or off.
#pragma once

#include "datachecks/item_cases.h"

namespace kenshin::testkit {

inline const std::string kInsurerNumber =
    "//a:recordTarget/a:patientRole/a:id[@root='1.2.392.200119.6.101']/@extension";

inline Edit insurer(const std::string& number) { return set_to(kInsurerNumber, number); }

// The examinee line of the record header when the document's insurer number
// is captured as `shown` (empty when it is not 8 characters long).
inline std::string line_with_insurer(const std::string& shown) {
  XmlDoc data = XmlDoc::data();
  data.set(kInsurerNumber, shown);
  return examinee_line(data);
}

}  // namespace kenshin::testkit

// Edits of the complete data document by item code, over the mutation kit.
#pragma once

#include <string>
#include <vector>

#include "support/mutations.h"

namespace kenshin::testkit {

// Every observation with this item code, direct or nested.
inline std::string observation(const std::string& code) { return "//a:observation[a:code/@code='" + code + "']"; }
inline std::string value_code(const std::string& code) { return observation(code) + "/a:value/@code"; }
// The observation together with the entry or entryRelationship that holds it.
inline Edit omitted(const std::string& code) { return removed(observation(code) + "/.."); }
inline Edit negated(const std::string& code, const std::string& text = "true") {
  return [=](XmlDoc& d) { d.set_attribute(observation(code), "negationInd", text); };
}
inline Edit null_flavor(const std::string& code) {
  return
      [=](XmlDoc& d) { d.remove(value_code(code)).set_attribute(observation(code) + "/a:value", "nullFlavor", "NI"); };
}

// An observation with only its code, in a new entry of the checkup section or nested in the first grouping observation.
inline Edit added(const std::string& code, bool nested) {
  std::string parent = nested ? "(//a:observation[a:code/@nullFlavor='NA'])[1]" : "//a:section[a:code/@code='01010']";
  std::string holder = nested ? "entryRelationship" : "entry";
  std::string xml = "<" + holder + "><observation><code code=\"" + code + "\"/></observation></" + holder + ">";
  return appended(parent, xml);
}

using DataCase = MutationCase;

// Each case edits the complete data document; the report is compared whole.
inline void expect_findings(const std::vector<DataCase>& cases) { expect_findings(Side::kData, cases); }

}  // namespace kenshin::testkit

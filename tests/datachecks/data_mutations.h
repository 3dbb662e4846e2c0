// Edits of the complete data document and the report it yields paired with the complete claims document.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "support/check_kit.h"

namespace kenshin::testing {

using Edit = std::function<void(XmlDoc&)>;

inline Edit set_to(std::string path, std::string value) {
  return [=](XmlDoc& d) { d.set(path, value); };
}
inline Edit removed(std::string path) {
  return [=](XmlDoc& d) { d.remove(path); };
}

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
  return [=](XmlDoc& d) { d.append_xml(parent, xml); };
}

// The report up to the claims document's own lines.
inline std::vector<std::string> data_report(const XmlDoc& data) {
  std::vector<std::string> lines = check(Archive().add_pair(data, XmlDoc::claims())).lines;
  lines.erase(std::find_if(lines.begin(), lines.end(), [](auto& line) { return line.rfind("○決済情報　", 0) == 0; }),
              lines.end());
  return lines;
}

struct DataCase {
  const char* name;
  std::vector<Edit> edits;
  std::vector<std::string> messages;  // under the record header with this name line; none: the no-error line
  std::string name_line = fixture_examinee_line();
};

inline void expect_findings(const std::vector<DataCase>& cases) {
  for (const DataCase& c : cases) {
    XmlDoc data = XmlDoc::data();
    for (const Edit& edit : c.edits) edit(data);
    std::vector<std::string> expected = data_header(c.name_line);
    expected.insert(expected.end(), c.messages.begin(), c.messages.end());
    EXPECT_EQ(data_report(data), c.messages.empty() ? std::vector<std::string>{kNoError} : expected) << c.name;
  }
}

}  // namespace kenshin::testing

// Cases for the item rules: named edits of the complete data document, each
// compared with the whole report of the pair (the complete claims document
// adds nothing, so any line beyond the expected ones fails the case).
#pragma once

#include "datachecks/data_mutations.h"

namespace kenshin::testing {

// An observation holding only its code plus the given child elements,
// directly in the checkup section, nested in the first grouping observation,
// or directly in a new section of another code.
enum class Place { kCheckupSection, kNested, kOtherSection };

inline Edit placed(const std::string& code, Place place, const std::string& children = "") {
  std::string observation = "<observation><code code=\"" + code + "\"/>" + children + "</observation>";
  switch (place) {
    case Place::kCheckupSection:
      return
          [=](XmlDoc& d) { d.append_xml("//a:section[a:code/@code='01010']", "<entry>" + observation + "</entry>"); };
    case Place::kNested:
      return [=](XmlDoc& d) {
        d.append_xml("(//a:observation[a:code/@nullFlavor='NA'])[1]",
                     "<entryRelationship>" + observation + "</entryRelationship>");
      };
    case Place::kOtherSection:
      break;
  }
  return [=](XmlDoc& d) {
    d.append_xml("//a:structuredBody",
                 "<component><section><code code=\"01020\"/><entry>" + observation + "</entry></section></component>");
  };
}

inline std::string coded(const std::string& code) { return "<value code=\"" + code + "\"/>"; }

inline std::vector<std::string> whole_report(const XmlDoc& data) {
  return check(Archive().add_pair(data, XmlDoc::claims())).lines;
}

inline void expect_whole_reports(const std::vector<DataCase>& cases) {
  for (const DataCase& c : cases) {
    XmlDoc data = XmlDoc::data();
    for (const Edit& edit : c.edits) edit(data);
    std::vector<std::string> expected = data_header(c.name_line);
    expected.insert(expected.end(), c.messages.begin(), c.messages.end());
    EXPECT_EQ(whole_report(data), c.messages.empty() ? std::vector<std::string>{kNoError} : expected) << c.name;
  }
}

}  // namespace kenshin::testing

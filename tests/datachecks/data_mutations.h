// Small edits of the complete data document for the data rule tests, each
// aimed at the observation of one item code, and the report a pair made of
// the edited data document and the complete claims document yields.
#pragma once

#include <string>
#include <vector>

#include "support/check_kit.h"

namespace kenshin::testing {

// Every observation with this item code, direct or nested.
inline std::string observation(const std::string& code) { return "//a:observation[a:code/@code='" + code + "']"; }

inline constexpr const char kCheckupSection[] = "//a:section[a:code/@code='01010']";
// The first grouping observation (the anemia group), home of nested observations.
inline constexpr const char kGroupingObservation[] = "(//a:observation[a:code/@nullFlavor='NA'])[1]";

// Removes the observation together with the entry or entryRelationship that holds it.
inline XmlDoc& omit(XmlDoc& doc, const std::string& code) { return doc.remove(observation(code) + "/.."); }

inline XmlDoc& negate(XmlDoc& doc, const std::string& code, const std::string& text = "true") {
  return doc.set_attribute(observation(code), "negationInd", text);
}

inline XmlDoc& set_value_code(XmlDoc& doc, const std::string& code, const std::string& value_code) {
  return doc.set_attribute(observation(code) + "/a:value", "code", value_code);
}

// The result given as a null flavor: no code, nullFlavor NI.
inline XmlDoc& null_flavor(XmlDoc& doc, const std::string& code) {
  doc.remove(observation(code) + "/a:value/@code");
  return doc.set_attribute(observation(code) + "/a:value", "nullFlavor", "NI");
}

// Adds an observation with the given attributes and content after the code
// element, directly in a new entry of the checkup section.
inline XmlDoc& add_direct(XmlDoc& doc, const std::string& code, const std::string& content = "",
                          const std::string& attributes = "") {
  return doc.append_xml(kCheckupSection, "<entry><observation classCode=\"OBS\" moodCode=\"EVN\"" + attributes +
                                             "><code code=\"" + code + "\"/>" + content + "</observation></entry>");
}

inline XmlDoc& add_nested(XmlDoc& doc, const std::string& code, const std::string& content = "") {
  return doc.append_xml(kGroupingObservation,
                        "<entryRelationship typeCode=\"COMP\"><observation classCode=\"OBS\" "
                        "moodCode=\"EVN\"><code code=\"" +
                            code + "\"/>" + content + "</observation></entryRelationship>");
}

// Moves the direct observation into the grouping observation, keeping its value code.
inline XmlDoc& nest(XmlDoc& doc, const std::string& code) {
  std::string value_code = doc.value(observation(code) + "/a:value/@code");
  omit(doc, code);
  return add_nested(doc, code, "<value xsi:type=\"CD\" code=\"" + value_code + "\"/>");
}

// The report of a pair made of this data document and the complete claims
// document, up to the claims document's own lines.
inline std::vector<std::string> data_report(const XmlDoc& data) {
  Archive archive;
  archive.add_pair(data, XmlDoc::claims());
  std::vector<std::string> lines = check(archive).lines;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("○決済情報　", 0) == 0) {
      lines.resize(i);
      break;
    }
  }
  return lines;
}

// The report a data document with these findings yields: the record header
// of the fixture's examinee, then the messages. No messages: the no-error line.
inline std::vector<std::string> findings(const std::vector<std::string>& messages,
                                         const std::string& name_line = fixture_examinee_line()) {
  if (messages.empty()) return {kNoError};
  std::vector<std::string> lines = data_header(name_line);
  lines.insert(lines.end(), messages.begin(), messages.end());
  return lines;
}

}  // namespace kenshin::testing

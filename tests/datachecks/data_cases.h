// Edits of the complete data document by item code, placements where the item
// rules look or must not look, and whole reports of several documents.
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
  return [=](XmlDoc& d) { d.remove(value_code(code)).set_attribute(observation(code) + "/a:value", "nullFlavor", "NI"); };
}

// An observation of only its code plus the given children: directly in the
// checkup section, nested in the first grouping observation, or directly in a
// new section of another code.
enum class Place { kCheckupSection, kNested, kOtherSection };
inline Edit placed(const std::string& code, Place place, const std::string& children = "") {
  std::string obs = "<observation><code code=\"" + code + "\"/>" + children + "</observation>";
  if (place == Place::kCheckupSection) return appended("//a:section[a:code/@code='01010']", "<entry>" + obs + "</entry>");
  if (place == Place::kNested) {
    return appended("(//a:observation[a:code/@nullFlavor='NA'])[1]", "<entryRelationship>" + obs + "</entryRelationship>");
  }
  return appended("//a:structuredBody", "<component><section><code code=\"01020\"/><entry>" + obs + "</entry></section></component>");
}
inline std::string coded(const std::string& code) { return "<value code=\"" + code + "\"/>"; }

// Items several rule groups read.
inline constexpr const char kSex[] = "//a:administrativeGenderCode/@code";
inline constexpr const char kBmi[] = "9N011000000000001";
inline constexpr const char kMeasured[] = "9N016160100000001";  // the measured waist
inline constexpr const char kEcg[] = "9A110160700000011";
inline constexpr const char kSugarMachine[] = "1A020000000191111";
inline constexpr const char kProteinMachine[] = "1A010000000191111";

inline const std::string kInsurerNumber =
    "//a:recordTarget/a:patientRole/a:id[@root='1.2.392.200119.6.101']/@extension";
inline Edit insurer(const std::string& number) { return set_to(kInsurerNumber, number); }
// The examinee line when the insurer number is captured as `shown` (empty unless 8 characters long).
inline std::string line_with_insurer(const std::string& shown) {
  XmlDoc data = XmlDoc::data();
  data.set(kInsurerNumber, shown);
  return examinee_line(data);
}

using DataCase = MutationCase;
// Each case edits the complete data document; the report is compared whole.
inline void expect_findings(const std::vector<DataCase>& cases) { expect_findings(Side::kData, cases); }

// One data document of an archive checked pair after pair, with what it should report.
struct Checked {
  XmlDoc data;
  std::vector<std::string> findings;
  std::string name_line = "";  // the document's own examinee line when empty
  XmlDoc claims = XmlDoc::claims();
};

// Pairs the documents as numbers 1, 2, … and compares the whole report.
inline void expect_sequence(const std::vector<Checked>& documents) {
  Archive archive;
  std::vector<std::string> expected;
  for (size_t i = 0; i < documents.size(); ++i) {
    const Checked& d = documents[i];
    archive.add_pair(d.data, d.claims, static_cast<int>(i) + 1);
    if (d.findings.empty()) continue;
    for (const std::string& line :
         data_header(d.name_line.empty() ? examinee_line(d.data) : d.name_line, static_cast<int>(i) + 1)) {
      expected.push_back(line);
    }
    expected.insert(expected.end(), d.findings.begin(), d.findings.end());
  }
  EXPECT_EQ(check(archive).lines, expected.empty() ? std::vector<std::string>{kNoError} : expected);
}

inline XmlDoc edited(std::vector<Edit> edits) {
  XmlDoc data = XmlDoc::data();
  for (const Edit& edit : edits) edit(data);
  return data;
}

}  // namespace kenshin::testkit

// The mutation kit: small named edits of the complete fixture documents, and
// the whole report a changed document yields in a pair with the other
// complete document.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/check_kit.h"

namespace kenshin::testkit {

using Edit = std::function<void(XmlDoc&)>;

inline Edit set_to(const std::string& path, const std::string& value) {
  return [=](XmlDoc& d) { d.set(path, value); };
}
inline Edit removed(const std::string& path) {
  return [=](XmlDoc& d) { d.remove(path); };
}
inline Edit appended(const std::string& parent, const std::string& xml) {
  return [=](XmlDoc& d) { d.append_xml(parent, xml); };
}

// Which document of the pair a case edits.
enum class Side { kData, kClaims };

struct MutationCase {
  const char* name;
  std::vector<Edit> edits;
  std::vector<std::string> findings;  // the edited document's, under its record header
  std::string name_line = fixture_examinee_line();
  std::vector<std::string> paired = {};  // the other document's findings
};

// The report of one pair.
inline std::vector<std::string> pair_report(const XmlDoc& data, const XmlDoc& claims) {
  return check(Archive().add_pair(data, claims)).lines;
}

// The whole report of one pair whose documents have these findings: the record
// header before each document's, the no-error line when there are none.
inline std::vector<std::string> expected_report(const std::string& name_line, const std::vector<std::string>& data,
                                                const std::vector<std::string>& claims) {
  if (data.empty() && claims.empty()) return {kNoError};
  std::vector<std::string> lines = {"", name_line};
  if (!data.empty()) lines.push_back("○健診情報　" + Archive::data_name(1));
  lines.insert(lines.end(), data.begin(), data.end());
  if (!claims.empty()) lines.push_back("○決済情報　" + Archive::claims_name(1));
  lines.insert(lines.end(), claims.begin(), claims.end());
  return lines;
}

// Applies each case's edits to `base` (by default the complete document of
// that side), pairs it with the other complete document and compares the
// whole report.
inline void expect_findings(Side side, const std::vector<MutationCase>& cases, const XmlDoc& base) {
  for (const MutationCase& c : cases) {
    XmlDoc edited = base;
    for (const Edit& edit : c.edits) edit(edited);
    bool data_side = side == Side::kData;
    std::vector<std::string> report =
        data_side ? pair_report(edited, XmlDoc::claims()) : pair_report(XmlDoc::data(), edited);
    EXPECT_EQ(report, data_side ? expected_report(c.name_line, c.findings, c.paired)
                                : expected_report(c.name_line, c.paired, c.findings))
        << c.name;
  }
}
inline void expect_findings(Side side, const std::vector<MutationCase>& cases) {
  expect_findings(side, cases, side == Side::kData ? XmlDoc::data() : XmlDoc::claims());
}

}  // namespace kenshin::testkit

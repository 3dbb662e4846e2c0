// What the claims rule tests share: a pair of the complete data document and
// a changed claims document, checked, and the lines the report should show.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/check_kit.h"

namespace kenshin::testing {

using Edit = std::function<void(XmlDoc&)>;

inline Edit removed(std::string path) {
  return [=](XmlDoc& d) { d.remove(path); };
}
inline Edit set_to(std::string path, std::string value) {
  return [=](XmlDoc& d) { d.set(path, value); };
}
inline Edit appended(std::string under, std::string xml) {
  return [=](XmlDoc& d) { d.append_xml(under, xml); };
}

// The report of one pair: the complete data document with the given claims document.
inline std::vector<std::string> report_with_claims(const XmlDoc& claims) {
  Archive archive;
  archive.add_pair(XmlDoc::data(), claims);
  return check(archive).lines;
}

// The report when only the claims document of the pair has findings (or the
// no-error line when there are none).
inline std::vector<std::string> claims_report(const std::vector<std::string>& findings) {
  if (findings.empty()) return {kNoError};
  std::vector<std::string> lines = {"", fixture_examinee_line(), "○決済情報　" + Archive::claims_name(1)};
  lines.insert(lines.end(), findings.begin(), findings.end());
  return lines;
}

struct ClaimsCase {
  const char* name;
  std::vector<Edit> edits;
  std::vector<std::string> findings;
};

// Each case edits `base` and expects exactly its findings under the claims header.
inline void expect_findings(const std::vector<ClaimsCase>& cases, const XmlDoc& base = XmlDoc::claims()) {
  for (const ClaimsCase& c : cases) {
    XmlDoc claims = base;
    for (const Edit& edit : c.edits) edit(claims);
    EXPECT_EQ(report_with_claims(claims), claims_report(c.findings)) << c.name;
  }
}

}  // namespace kenshin::testing

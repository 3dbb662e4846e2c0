// Helpers for the claims rule tests: a pair of the complete data document and
// a (mutated) claims document, checked, and the lines the report should show.
#pragma once

#include <string>
#include <vector>

#include "support/check_kit.h"

namespace kenshin::testing {

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

}  // namespace kenshin::testing

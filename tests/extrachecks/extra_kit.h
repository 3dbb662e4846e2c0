// Archives for the further checks: every number agreeing (sender in the
// name, index, summary and documents), and a check run with the checks on.
#pragma once

#include <string>
#include <vector>

#include "extrachecks/extra_checks.h"
#include "support/check_kit.h"

namespace kenshin::testkit {

// The institution number of the fixture documents, and an archive named after it.
inline constexpr const char kFixtureSender[] = "1314567890";
inline constexpr const char kAgreeingStem[] = "1314567890_95899071_201812060_1";

XmlDoc agreeing_index();    // sender 1314567890, receiver 95899071, 4 records
XmlDoc agreeing_summary();  // 2 subjects; the totals of two complete settlement documents

// Two pairs of the complete fixtures with the index and summary above.
struct AgreeingParts {
  XmlDoc index = agreeing_index();
  XmlDoc summary = agreeing_summary();
  XmlDoc data = XmlDoc::data();
  XmlDoc claims = XmlDoc::claims();
  XmlDoc claims2 = XmlDoc::claims();
  bool with_index = true;
  bool with_summary = true;
  Archive archive() const;
};

// The records read back from the report equal the run's in the fields ERR.txt
// holds, and count the same examinees.
void expect_read_back(const std::vector<Finding>& records, const std::string& report_bytes,
                      const std::string& archive_name);

inline CheckResult check_extra(const Archive& archive, extrachecks::ExtraCheckOptions options,
                               EditionChoice choice = {}) {
  extrachecks::ExtraChecks extra(options);
  return check(archive, choice, &extra);
}

}  // namespace kenshin::testkit

#include "extrachecks/extra_checks.h"

#include <string>
#include <string_view>

#include "extrachecks/cross_checks.h"
#include "extrachecks/schema_check.h"
#include "report/report.h"

namespace kenshin::extrachecks {

// One section: an empty line, the heading, then every finding indented by an
// ideographic space like the document findings, or the line saying there is none.
void ExtraChecks::write_section(RunState& run, std::string_view heading, const std::vector<ExtraFinding>& found,
                                std::string_view none) {
  report::open_report(run);
  report::write_line(run, "");
  report::write_line(run, heading);
  lines_written_ += 2;
  if (found.empty()) {
    report::write_line(run, none);
    ++lines_written_;
  }
  for (const ExtraFinding& finding : found) {
    report::write_line(run, "　" + finding.message);
    ++lines_written_;
  }
}

bool ExtraChecks::run(RunState& run) {
  bool found = false;
  if (options_.schema) {
    SchemaCheck check = check_schemas(run);
    write_section(run, check.heading, check.findings, "スキーマ検証でのエラーはありません");
    found = found || !check.findings.empty();
    findings_.insert(findings_.end(), check.findings.begin(), check.findings.end());
  }
  if (options_.archive_checks) {
    std::vector<ExtraFinding> cross = cross_check_archive(run);
    write_section(run, kCrossCheckHeading, cross, "照合でのエラーはありません");
    found = found || !cross.empty();
    findings_.insert(findings_.end(), cross.begin(), cross.end());
  }
  return found;
}

}  // namespace kenshin::extrachecks

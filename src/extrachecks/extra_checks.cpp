#include "extrachecks/extra_checks.h"

#include <string>
#include <string_view>
#include <vector>

#include "extrachecks/cross_checks.h"
#include "extrachecks/schema_check.h"
#include "report/report.h"

namespace kenshin::extrachecks {

void ExtraChecks::write_section(RunState& run, std::string_view heading, const std::vector<ExtraFinding>& found,
                                std::string_view none) {
  std::vector<Finding> records;
  records.reserve(found.size());
  for (const ExtraFinding& finding : found) {
    Finding record;
    record.pair = finding.pair;
    record.kind = finding.kind == ExtraKind::kSchema ? FindingKind::kSchema : FindingKind::kCrossCheck;
    record.document = finding.file;
    record.message = finding.message;
    record.rule_id = finding.rule_id;
    record.value = finding.value;
    record.line = finding.line;
    records.push_back(std::move(record));
  }
  report::report_section(run, heading, records, none);
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

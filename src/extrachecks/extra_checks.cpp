#include "extrachecks/extra_checks.h"

#include <string>
#include <string_view>
#include <vector>

#include "platform/zip_archive.h"
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

void ExtraChecks::start(const RunState& run, platform::ZipArchive& archive) {
  close();
  findings_.clear();
  try {
    platform::ZipReader reader(archive);
    index_ = read_top_level(run, archive, reader, kIndexFile);
    summary_ = read_top_level(run, archive, reader, kSummaryFile);
    if (options_.archive_checks) cross_.emplace(run);
    if (options_.schema) {
      schema_.emplace(run, archive);
      schema_->top_level(index_);
      schema_->top_level(summary_);
    }
  } catch (...) {
    failure_ = std::current_exception();
  }
}

void ExtraChecks::read_pair(const RunState&, int k, const docs::LoadedPair& pair) {
  if (failure_) return;
  try {
    // The questions first: validation reads the tree as it stands.
    if (cross_) cross_->settlement(pair.claims ? &*pair.claims : nullptr);
    if (schema_) schema_->pair(k, pair);
  } catch (...) {
    failure_ = std::current_exception();
  }
}

bool ExtraChecks::finish(RunState& run) {
  if (failure_) std::rethrow_exception(failure_);
  bool found = false;
  if (schema_) {
    const std::string& heading = schema_->heading();
    const std::vector<ExtraFinding>& schema_findings = schema_->findings();
    write_section(run, heading, schema_findings, "スキーマ検証でのエラーはありません");
    found = found || !schema_findings.empty();
    findings_.insert(findings_.end(), schema_findings.begin(), schema_findings.end());
  }
  if (cross_) {
    std::vector<ExtraFinding> cross = cross_->finish(index_, summary_);
    write_section(run, kCrossCheckHeading, cross, "照合でのエラーはありません");
    found = found || !cross.empty();
    findings_.insert(findings_.end(), cross.begin(), cross.end());
  }
  return found;
}

void ExtraChecks::close() {
  schema_.reset();
  cross_.reset();
  index_ = {};
  summary_ = {};
  failure_ = nullptr;
}

}  // namespace kenshin::extrachecks

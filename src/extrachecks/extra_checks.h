// The checks beyond the quick check that the user asks for: schema
// validation and the cross-checks of the exchange-information and summary
// documents. They read every document in the pair loop's pass, as the quick
// check has loaded it, and append their lines to the report after the quick
// check's, each kind under a heading of its own.
#pragma once

#include <exception>
#include <optional>
#include <string_view>
#include <vector>

#include "docs/further_pass.h"
#include "extrachecks/archive_files.h"
#include "extrachecks/cross_checks.h"
#include "extrachecks/extra_finding.h"
#include "extrachecks/schema_check.h"
#include "run/run_state.h"

namespace kenshin::extrachecks {

struct ExtraCheckOptions {
  bool schema = false;          // validate every document against the national schemas
  bool archive_checks = false;  // cross-check the index and summary documents with the archive
  bool any() const { return schema || archive_checks; }
};

// One run's further checks: hand it to run_check() when options.any().
class ExtraChecks : public docs::FurtherPass {
 public:
  explicit ExtraChecks(ExtraCheckOptions options) : options_(options) {}

  bool wants_parse_reports() const override { return options_.schema; }
  void start(const RunState& run, platform::ZipArchive& archive) override;
  void read_pair(const RunState& run, int k, const docs::LoadedPair& pair) override;
  bool finish(RunState& run) override;
  void close() override;

  // Everything found, in the order the report shows it.
  const std::vector<ExtraFinding>& findings() const { return findings_; }

 private:
  void write_section(RunState& run, std::string_view heading, const std::vector<ExtraFinding>& found,
                     std::string_view none);

  ExtraCheckOptions options_;
  std::optional<SchemaPass> schema_;
  std::optional<CrossCheckPass> cross_;
  TopLevelDocument index_;
  TopLevelDocument summary_;
  // A failure of these checks ends the run only after the quick check has
  // gone through, as a damaged pair found later still shows as a finding.
  std::exception_ptr failure_;
  std::vector<ExtraFinding> findings_;
};

}  // namespace kenshin::extrachecks

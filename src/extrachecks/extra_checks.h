// The checks beyond the quick check that the user asks for: schema
// validation and the cross-checks of the exchange-information and summary
// documents. They run after the pair loop, while the archive is still open,
// and append their lines to the report after the quick check's,
// each kind under a heading of its own.
#pragma once

#include <string_view>
#include <vector>

#include "run/run_state.h"
#include "extrachecks/extra_finding.h"

namespace kenshin::extrachecks {

struct ExtraCheckOptions {
  bool schema = false;          // validate every document against the national schemas
  bool archive_checks = false;  // cross-check the index and summary documents with the archive
  bool any() const { return schema || archive_checks; }
};

class ExtraChecks {
 public:
  explicit ExtraChecks(ExtraCheckOptions options) : options_(options) {}

  // Runs the requested checks and writes their sections into the open
  // report; true when any of them found something.
  bool run(RunState& run);

  // Everything found, in the order the report shows it.
  const std::vector<ExtraFinding>& findings() const { return findings_; }


 private:
  void write_section(RunState& run, std::string_view heading, const std::vector<ExtraFinding>& found,
                     std::string_view none);

  ExtraCheckOptions options_;
  std::vector<ExtraFinding> findings_;
};

}  // namespace kenshin::extrachecks

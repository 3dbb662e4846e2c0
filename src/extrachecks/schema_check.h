// Validation of every document of the archive against the national schemas:
// the DATA and CLAIMS documents and, where present, the exchange-information
// and summary documents. The archive's own XSD folder is used when it has
// one; otherwise, in the 2018 edition, the schema set installed with the
// program. A FY2024 run has only the archive's own schemas.
#pragma once

#include <string>
#include <vector>

#include "run/run_state.h"
#include "extrachecks/extra_finding.h"

namespace kenshin::extrachecks {

struct SchemaCheck {
  std::string heading;  // the report's heading line, naming the schema set used
  std::vector<ExtraFinding> findings;
};

// Runs over the archive in memory. Throws RunFailure when the program's own
// schema set is needed and cannot be found or compiled.
SchemaCheck check_schemas(const RunState& run);

}  // namespace kenshin::extrachecks

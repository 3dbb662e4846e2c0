// Validation of every document of the archive against the national schemas:
// the DATA and CLAIMS documents and, where present, the exchange-information
// and summary documents. The archive's own XSD folder is used when it has
// one; otherwise, in the 2018 edition, the schema set installed with the
// program. A FY2024 run has only the archive's own schemas.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "docs/pair_source.h"
#include "extrachecks/archive_files.h"
#include "extrachecks/extra_finding.h"
#include "run/run_state.h"

namespace kenshin::extrachecks {

class SchemaSource;

// Validates the documents handed to it, in the order handed, and keeps what
// it found in that order.
class SchemaPass {
 public:
  SchemaPass(const RunState& run, platform::ZipArchive& archive);
  ~SchemaPass();
  SchemaPass(const SchemaPass&) = delete;
  SchemaPass& operator=(const SchemaPass&) = delete;

  // The index or the summary document, when the archive has it.
  void top_level(const TopLevelDocument& top);

  // The documents of pair k as the pair loop loaded them, with their parse reports.
  void pair(int k, const docs::LoadedPair& pair);

  // The report's heading line, naming the schema set used.
  const std::string& heading();
  const std::vector<ExtraFinding>& findings() const { return findings_; }

 private:
  bool ready();
  void validate(std::string_view schema, const docs::Document* doc, const docs::ParseReport& report,
                const std::string& label, int pair, const std::string& file);

  const RunState& run_;
  platform::ZipArchive& archive_;
  std::unique_ptr<SchemaSource> source_;
  std::string heading_;
  std::vector<ExtraFinding> findings_;
};

}  // namespace kenshin::extrachecks

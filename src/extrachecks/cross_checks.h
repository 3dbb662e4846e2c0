// The exchange-information document (ix08_V08.xml) and the summary document
// (su08_V08.xml) checked against the archive they travel in: both present,
// the summary's totals equal to the sums over the settlement documents, the
// record count equal to the number of documents, and the receiver equal to
// the archive name's destination. All three kinds of document may be written
// in either settlement namespace (2007 or FY2024), whatever the edition.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "docs/xml.h"
#include "extrachecks/archive_files.h"
#include "extrachecks/extra_finding.h"
#include "run/run_state.h"

namespace kenshin::extrachecks {

inline constexpr std::string_view kCrossCheckHeading = "【交換用基本情報・集計情報とZIPファイルの照合】";

class CrossCheck;

// Adds up the settlement documents handed to it, then compares the index and
// the summary with the archive.
class CrossCheckPass {
 public:
  explicit CrossCheckPass(const RunState& run);
  ~CrossCheckPass();
  CrossCheckPass(const CrossCheckPass&) = delete;
  CrossCheckPass& operator=(const CrossCheckPass&) = delete;

  // A settlement document as the pair loop loaded it; nullptr: it failed to load.
  void settlement(const docs::Document* claims);

  // Everything found, the index's lines first.
  std::vector<ExtraFinding> finish(const TopLevelDocument& index, const TopLevelDocument& summary);

 private:
  std::unique_ptr<CrossCheck> check_;
};

}  // namespace kenshin::extrachecks
